// loxa_menu_probe.dll: loaded into loxa.exe by a global hook that the test
// installs, because no other process can read a pop-up menu's items. When a
// menu window ("#32768") of the process is shown, it writes the menu's items
// to the file named by LOXA_MENU_PROBE_PATH, one line each:
// identifier TAB kind ('S' string, '-' separator, '?' other) TAB text.
#include <windows.h>

#include <string>

namespace {

bool IsMenuWindow(HWND window)
{
    char className[16] = {};
    return GetClassNameA(window, className, sizeof className) > 0
           && lstrcmpA(className, "#32768") == 0;
}

std::string DescribeMenu(HMENU menu)
{
    std::string lines;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item)) {
            continue;
        }
        std::string text(item.cch + 1, '\0');
        item.dwTypeData = text.data();
        item.cch += 1;
        GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item);
        text.resize(lstrlenA(text.c_str()));
        const char kind = (item.fType & MFT_SEPARATOR)                     ? '-'
                          : (item.fType & ~MFT_RIGHTJUSTIFY) == MFT_STRING ? 'S'
                                                                           : '?';
        lines += std::to_string(item.wID) + '\t' + kind + '\t' + text + '\n';
    }
    return lines;
}

void WriteWholeFile(const std::string& path, const std::string& contents)
{
    // Written aside and renamed, so the test never reads half a list.
    const std::string scratch = path + ".tmp";
    HANDLE file = CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(scratch.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

HWND lastReported = nullptr;
bool busy = false;

void ReportMenu(HWND window)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("LOXA_MENU_PROBE_PATH", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return;
    }
    auto* const menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    if (menu == nullptr) {
        return;
    }
    lastReported = window;
    WriteWholeFile(path, DescribeMenu(menu));
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && !busy) {
        const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (call->message == WM_DESTROY && call->hwnd == lastReported) {
            lastReported = nullptr; // a later menu may get the same handle
        }
        const bool shown =
            (call->message == WM_SHOWWINDOW && call->wParam)
            || (call->message == WM_WINDOWPOSCHANGED
                && (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW));
        if (shown && call->hwnd != lastReported && IsMenuWindow(call->hwnd)) {
            busy = true;
            ReportMenu(call->hwnd);
            busy = false;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
