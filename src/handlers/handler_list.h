// The handler list: subkeys of HKCU "SOFTWARE\Loxa", each named by its menu
// label, with the plug-in DLL's path as default value.
#pragma once

#include <windows.h>

#include "win32/registry_key_name.h"
#include "win32/unique_resource.h"

inline constexpr char kHandlerListKey[] = "SOFTWARE\\Loxa";

// The list key opened for reading; empty when it is missing or refused.
UniqueKey OpenHandlerList();

// The name of the subkey at `index`; false when the enumeration answers
// anything but success.
bool ReadHandlerName(HKEY list, DWORD index, char (&nameBuffer)[kKeyNameBufferBytes]);

// The DLL path of the handler subkey `name` into a MAX_PATH buffer. Leaves ""
// when the subkey is gone or cannot be opened, or its default value is
// missing, not REG_SZ, or does not fit with its NUL. The subkey is closed
// before this returns.
void ReadHandlerPath(HKEY list, const char* name, char* pathBuffer);
