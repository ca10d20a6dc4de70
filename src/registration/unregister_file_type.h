// /U: removes what /R wrote, when the registration is this program's own.
#pragma once

// 1 after the deletions; 0 when the ownership check refused or the
// machine-wide keys stayed (the user has been told).
int UnregisterFileType();
