// The launch benchmark's baseline: shows at once one window of the kind
// loxa.exe shows and ends when it is answered.
//   minimal_window box      a message box (MessageBoxA)
//   minimal_window dialog   a dialog from a tiny template (DialogBoxParamA)
//   minimal_window menu     a popup menu at the pointer (TrackPopupMenuEx)
//   minimal_window template loxa.exe's own dialog template (beside this
//                           program), shown with no field filled: what the
//                           dialog costs as a window, without loxa.exe's work
// It runs with loxa.exe's manifest (common controls 6), its dialog has
// loxa.exe's dialog font and an up-down control, and its texts are Japanese
// as loxa.exe's are (the same kind of glyphs to draw), so that what it costs
// to start is what any program showing such a window pays: the difference to
// loxa.exe is then loxa.exe's own work.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "minimal_window_ids.h"
#include "win32/unique_resource.h"

namespace {

constexpr char kBoxText[] = "/A 最小プログラムの一行目\n/B 最小プログラムの二行目";

INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// The up-down control's class, from common controls 6 (the manifest's). The
// library is loaded here rather than imported, so that the box and the menu
// do not load it: a program showing only those would not.
bool LoadUpDownClass()
{
    const HMODULE library = LoadLibraryA("comctl32.dll");
    if (library == nullptr) {
        return false;
    }
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): GetProcAddress's untyped result
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    // The library stays loaded: the class lives in it while the dialog runs.
    // cppcheck-suppress resourceLeak ; see above
    return init != nullptr && init(&controls) != FALSE;
}

// loxa.exe beside this program, loaded for its resources only.
HMODULE LoadLoxaResources()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return nullptr;
    }
    char* name = std::strrchr(path, '\\');
    constexpr char kLoxa[] = "loxa.exe";
    if (name == nullptr || static_cast<std::size_t>(name + 1 - path) + sizeof kLoxa > MAX_PATH) {
        return nullptr;
    }
    std::memcpy(name + 1, kLoxa, sizeof kLoxa);
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

using UniqueWindow = UniqueResource<HWND, NullInvalidDeleter<HWND, &DestroyWindow>>;

// A popup menu needs an owner window in the foreground, as loxa.exe's has.
int ShowMenu(HINSTANCE instance)
{
    UniqueWindow owner(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Minimal", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, instance, nullptr));
    UniqueMenu menu(CreatePopupMenu());
    if (!owner || !menu) {
        return 1;
    }
    AppendMenuA(menu.get(), MF_STRING, 1, "最小の項目一つ");
    AppendMenuA(menu.get(), MF_STRING, 2, "Bench");
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING, 3, "キャンセル");
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(owner.get());
    return TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                            owner.get(), nullptr);
}

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name): our names, not the header's
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strcmp(commandLine, "box") == 0) {
        return MessageBoxA(nullptr, kBoxText, "Minimal", MB_OK | MB_ICONINFORMATION);
    }
    if (std::strcmp(commandLine, "dialog") == 0) {
        if (!LoadUpDownClass()) {
            return 1;
        }
        return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MINIMAL), nullptr,
                                                MinimalDialogProc, 0));
    }
    if (std::strcmp(commandLine, "template") == 0) {
        const HMODULE loxa = LoadLoxaResources();
        if (loxa == nullptr || !LoadUpDownClass()) {
            return 1;
        }
        // The template's number (101) is the program data dialog's.
        return static_cast<int>(
            DialogBoxParamA(loxa, MAKEINTRESOURCEA(101), nullptr, MinimalDialogProc, 0));
    }
    if (std::strcmp(commandLine, "menu") == 0) {
        return ShowMenu(instance);
    }
    return 2;
}
