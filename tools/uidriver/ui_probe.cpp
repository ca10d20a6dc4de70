// loxa_ui_probe.dll: loaded into every GUI process of the desktop by the
// driver's global WH_CBT hook, active only in a process whose environment
// names an event log (kUiProbeLogVariable), that is, in the driven loxa.exe.
// There it reads what another process cannot: today the icon of each message
// box, published as a window property and as an event line. Further probes
// (popup menu items, ...) hook in beside OnActivate.
#include <windows.h>

#include "message_box_window.h"
#include "ui_probe.h"
#include "win32/unique_resource.h"

namespace {

char eventLogPath[MAX_PATH]; // empty: the probe stays passive in this process

void AppendEvent(const char* line)
{
    UniqueHandle log(CreateFileA(eventLogPath, FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) {
        return;
    }
    DWORD written = 0;
    WriteFile(log.get(), line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

// The box's icon is the image of its visible icon static, one of the shared
// system icons that MessageBox loads in this very process.
int ReadBoxIcon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (!WindowClassIs(child, "Static") || (style & SS_TYPEMASK) != SS_ICON
            || (style & WS_VISIBLE) == 0) {
            continue;
        }
        auto* icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (icon == nullptr) {
            continue;
        }
        if (icon == LoadIconA(nullptr, IDI_INFORMATION)) {
            return kUiProbeIconInformation;
        }
        if (icon == LoadIconA(nullptr, IDI_WARNING)) {
            return kUiProbeIconWarning;
        }
        if (icon == LoadIconA(nullptr, IDI_ERROR)) {
            return kUiProbeIconError;
        }
        if (icon == LoadIconA(nullptr, IDI_QUESTION)) {
            return kUiProbeIconQuestion;
        }
        return kUiProbeIconUnknown;
    }
    return kUiProbeIconNone;
}

// A message box is activated once its WM_INITDIALOG has set the icon.
void OnActivate(HWND window)
{
    if (!IsMessageBoxWindow(window) || GetPropA(window, kUiProbeIconProperty) != nullptr) {
        return;
    }
    const int icon = ReadBoxIcon(window);
    SetPropA(window, kUiProbeIconProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(icon)));
    char line[64];
    wsprintfA(line, "box %p icon=%d\r\n", static_cast<void*>(window), icon);
    AppendEvent(line);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    UiProbeCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && eventLogPath[0] != '\0') {
        OnActivate(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        const DWORD length = GetEnvironmentVariableA(kUiProbeLogVariable, eventLogPath, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            eventLogPath[0] = '\0';
        }
    }
    return TRUE;
}
