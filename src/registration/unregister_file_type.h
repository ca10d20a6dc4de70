// /U: removes what /R wrote, when the registration is this program's own.
#pragma once

// 1 after the deletions; 0 when the ownership check refused.
int UnregisterFileType();
