#include "handler_menu_driver.h"

#include <cstdio>
#include <string>

#include "driver_failure.h"
#include "ui_driver.h"

namespace {

constexpr char kProbeVariable[] = "LOXA_MENU_PROBE_PATH";

std::string BesideSelf(const char* fileName)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1) + fileName;
}

// A visible menu window of the process (of any process when it is 0).
HWND FindMenuWindow(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

bool ReadWholeFile(const std::string& path, std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    UniqueHandle owner(file);
    contents.clear();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        contents.append(chunk, read);
    }
    return true;
}

std::vector<MenuItemView> ParseItems(const std::string& contents)
{
    std::vector<MenuItemView> items;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos) {
            end = contents.size();
        }
        const std::string line = contents.substr(start, end - start);
        start = end + 1;
        const std::size_t firstTab = line.find('\t');
        if (firstTab == std::string::npos || firstTab + 3 > line.size()) {
            continue;
        }
        MenuItemView item;
        item.id = static_cast<UINT>(std::strtoul(line.substr(0, firstTab).c_str(), nullptr, 10));
        item.separator = line[firstTab + 1] == '-';
        item.text = line.substr(firstTab + 3);
        items.push_back(item);
    }
    return items;
}

} // namespace

bool StartMenuProbe(MenuProbe& probe)
{
    char folder[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "mnu", 0, file) == 0) {
        return false;
    }
    probe.listPath = file;
    DeleteFileA(file);
    SetEnvironmentVariableA(kProbeVariable, file);
    probe.library.reset(LoadLibraryA(BesideSelf("loxa_menu_probe.dll").c_str()));
    if (!probe.library) {
        return false;
    }
    auto* hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(probe.library.get(), "MenuProbeHook")));
    if (hook == nullptr) {
        return false;
    }
    probe.hook.reset(SetWindowsHookExA(WH_CALLWNDPROCRET, hook, probe.library.get(), 0));
    return static_cast<bool>(probe.hook);
}

bool ProcessShowsMenu(DWORD processId)
{
    return FindMenuWindow(processId) != nullptr;
}

HWND WaitForMenuWindow(DWORD processId, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        if (HWND window = FindMenuWindow(processId)) {
            return window;
        }
        PauseAnsweringMessages(20);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

bool WaitForHandlerMenu(const MenuProbe& probe, DWORD processId, DWORD timeoutMs,
                        HandlerMenuView& menu)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    do {
        HWND window = FindMenuWindow(processId);
        std::string contents;
        if (window != nullptr && ReadWholeFile(probe.listPath, contents)) {
            menu.window = window;
            menu.items = ParseItems(contents);
            DeleteFileA(probe.listPath.c_str());
            return true;
        }
        PauseAnsweringMessages(20);
    } while (GetTickCount64() < deadline);
    return false;
}

bool ChooseMenuItem(const HandlerMenuView& menu, std::size_t position)
{
    if (position >= menu.items.size() || menu.items[position].separator) {
        return false;
    }
    for (std::size_t i = 0; i <= position; ++i) {
        if (!menu.items[i].separator && !PostKeyStroke(menu.window, VK_DOWN, 0, "the menu")) {
            return false;
        }
    }
    return PostKeyStroke(menu.window, VK_RETURN, 0, "the menu");
}

bool DismissMenu(const HandlerMenuView& menu)
{
    return PostKeyStroke(menu.window, VK_ESCAPE, 0, "the menu");
}
