// How the driver and the in-process probe tell a message box from the other
// dialogs of the program: a "#32770" window with the static text 0xFFFF whose
// children are only statics and buttons. (A dialog's labels often carry the
// identifier 0xFFFF too, but a dialog has edit fields and other controls.)
#pragma once

#include <windows.h>

inline bool WindowClassIs(HWND window, const char* className)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

inline bool IsMessageBoxWindow(HWND window)
{
    if (!WindowClassIs(window, "#32770") || GetDlgItem(window, 0xFFFF) == nullptr) {
        return false;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!WindowClassIs(child, "Static") && !WindowClassIs(child, "Button")) {
            return false;
        }
    }
    return true;
}
