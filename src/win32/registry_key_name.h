// The buffer for a registry key name read back through the ANSI calls.
#pragma once

#include <windows.h>

// A key name may be 255 characters; in code page 932 that is up to 510 bytes,
// and one more for the NUL. A shorter buffer makes the enumeration fail on a
// long name, and with it every name after it.
inline constexpr DWORD kKeyNameBufferBytes = 2 * 255 + 1;
