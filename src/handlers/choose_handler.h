// Asks the user which handler receives the program, when plug-ins are listed.
#pragma once

#include <windows.h>

#include <cstdint>

// 0: use the built-in handler (pathBuffer untouched). 1: a choice was made;
// pathBuffer (MAX_PATH bytes) holds the plug-in's DLL path, or "" when the
// user cancelled or the path could not be read.
std::int32_t ChooseHandler(HINSTANCE instance, char* pathBuffer);
