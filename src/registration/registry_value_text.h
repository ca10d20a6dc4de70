// Reads a registry value as text bounded by its size.
#pragma once

#include <windows.h>

#include "win32/unique_resource.h"

// Reads the value `name` (null: the default value) of `size` bytes, as a
// size-only query reported it, into a fresh zero-filled block one byte longer,
// so that the text ends with a NUL even when the stored value has none. The
// block goes to `text` for the caller to free. False when no block could be
// had (then `text` is empty) or the read failed.
bool ReadRegistryValueText(HKEY key, const char* name, DWORD size, HeapBlock& text);
