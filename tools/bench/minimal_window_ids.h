// Resource identifiers of the launch benchmark's minimal program.
#pragma once

#define IDD_MINIMAL 101
