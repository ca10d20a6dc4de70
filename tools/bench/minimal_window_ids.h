// Resource identifiers of the launch benchmark's minimal program.
#pragma once

#define IDD_MINIMAL 101
#define IDC_MINIMAL_NUMBER 1001
#define IDC_MINIMAL_SPIN 1002
