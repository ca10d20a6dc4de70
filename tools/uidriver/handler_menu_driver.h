// Drives loxa.exe's handler menu from a test: reads its items from inside
// the program's process (through loxa_menu_probe.dll, hooked in), chooses an
// item by position or dismisses the menu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/unique_resource.h"

struct MenuItemView {
    UINT id = 0;
    bool separator = false;
    std::string text; // bytes as shown (code page 932)
};

struct HandlerMenuView {
    HWND window = nullptr; // the "#32768" menu window
    std::vector<MenuItemView> items;
};

using UniqueHook = UniqueResource<HHOOK, NullInvalidDeleter<HHOOK, &UnhookWindowsHookEx>>;

// While it lives, every menu shown by a process started afterwards (which
// inherits LOXA_MENU_PROBE_PATH) is reported to `listPath`.
struct MenuProbe {
    UniqueLibrary library;
    UniqueHook hook;
    std::string listPath;
};

// Loads the probe beside the test program and hooks it into every process of
// the desktop. Start loxa.exe after this.
bool StartMenuProbe(MenuProbe& probe);

// Waits up to `timeoutMs` for a visible menu window of the process and its
// items; false on time-out.
bool WaitForHandlerMenu(const MenuProbe& probe, DWORD processId, DWORD timeoutMs,
                        HandlerMenuView& menu);

// Waits up to `timeoutMs` for a visible menu window of the process (of any
// process when `processId` is 0), without reading its items; null on time-out.
HWND WaitForMenuWindow(DWORD processId, DWORD timeoutMs);

// True when the process shows a menu window now.
bool ProcessShowsMenu(DWORD processId);

// Chooses the item at `position` (0 = first) with the keyboard: one Down per
// selectable item up to it, then Return. Separators cannot be chosen.
bool ChooseMenuItem(const HandlerMenuView& menu, std::size_t position);

// Closes the menu with Esc.
bool DismissMenu(const HandlerMenuView& menu);
