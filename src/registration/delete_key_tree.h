// Removes a registry key with everything below it, as far as it can.
#pragma once

#include <windows.h>

// Deletes the subkey `name` of `parent` (an open key or a predefined root)
// and its descendants, children before their parent. A key that cannot be
// opened for deletion and enumeration is left alone. Each level goes on while every pass
// removes the subkey it found, and ends as soon as one stays. True when the
// key itself was deleted.
bool DeleteKeyTree(HKEY parent, const char* name);
