// Removes a registry key with everything below it, as far as it can.
#pragma once

#include <windows.h>

// Deletes the subkey `name` of `parent` (an open key or a predefined root)
// and its descendants, children before their parent. Reports nothing: a key
// that cannot be opened for full access is left alone, and a level gives up
// after 50 passes over its subkeys.
void DeleteKeyTree(HKEY parent, const char* name);
