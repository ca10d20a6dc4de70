// The chooser's hidden tool window: it owns the handler menu while the menu
// is up, asks for the menu once it exists, and ends the chooser's message
// loop when it is destroyed.
#pragma once

#include <windows.h>

// Posted by the hidden window to itself while it is created; the chooser's
// message loop shows the menu when it takes this message.
inline constexpr UINT WM_SHOWHANDLERMENU = WM_USER + 100;

inline constexpr char kChooserWindowClass[] = "Loxa@Window";

// Registers "Loxa@Window"; a failed registration is ignored (the class may
// already exist from an earlier call).
void RegisterChooserWindowClass(HINSTANCE instance);

LRESULT CALLBACK ChooserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
