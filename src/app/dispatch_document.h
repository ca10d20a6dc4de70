// The road of one document: parse it, let the chooser pick a handler, and hand
// the program to the built-in dialog or to a plug-in.
#pragma once

#include <windows.h>

#include <cstdint>

// `text` is the NUL-terminated document, or null. Returns 2 (IDCANCEL) when
// nothing was done, after a declined version warning and after the plug-in
// road; on the built-in road, the dialog's end code.
std::int32_t DispatchDocument(HINSTANCE instance, const char* text);
