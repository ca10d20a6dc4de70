// Every message box of the program goes through here, captioned with the
// application title.
#pragma once

#include <windows.h>

int ShowMessageBox(HWND owner, const char* text, UINT style);
