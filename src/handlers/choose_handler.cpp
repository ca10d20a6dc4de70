#include "handlers/choose_handler.h"

#include "handlers/chooser_window.h"
#include "handlers/handler_list.h"
#include "win32/application_title.h"
#include "win32/unique_resource.h"

namespace {

constexpr UINT kBuiltInItem = 1;
constexpr UINT kCancelItem = 0;
constexpr UINT kFirstPluginItem = 2;
constexpr char kBuiltInLabel[] = "ズリノート小片";
constexpr char kCancelLabel[] = "キャンセル";

// The longest name with every byte doubled, and the NUL.
constexpr DWORD kMenuLabelBytes = 2 * (kKeyNameBufferBytes - 1) + 1;

// A menu takes '&' as a mnemonic marker; doubling it shows the name as
// stored. '&' is never a trail byte in code page 932.
void MakeMenuLabel(const char* name, char (&label)[kMenuLabelBytes])
{
    std::size_t at = 0;
    for (const char* c = name; *c != '\0' && at + 2 < sizeof label; ++c) {
        label[at++] = *c;
        if (*c == '&') {
            label[at++] = '&';
        }
    }
    label[at] = '\0';
}

// Appends one item per handler subkey; returns how many.
DWORD AppendHandlerItems(HMENU menu, HKEY list)
{
    DWORD count = 0;
    char name[kKeyNameBufferBytes];
    while (ReadHandlerName(list, count, name)) {
        char label[kMenuLabelBytes];
        MakeMenuLabel(name, label);
        AppendMenuA(menu, MF_STRING, kFirstPluginItem + count, label);
        ++count;
    }
    return count;
}

// Shows the menu at the mouse pointer and turns the answer into the chooser's
// result, filling pathBuffer for every answer but the built-in handler.
std::int32_t AnswerMenu(HMENU menu, HWND owner, HKEY list, char* pathBuffer)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    BringWindowToTop(owner);
    // Without the foreground a click elsewhere would not close the menu.
    SetForegroundWindow(owner);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y, owner, nullptr));
    if (chosen == kBuiltInItem) {
        return 0;
    }
    pathBuffer[0] = '\0';
    if (chosen >= kFirstPluginItem) {
        // The list may have changed while the menu was open: only the handler
        // whose label was clicked may be loaded, never the one now at its place.
        char name[kKeyNameBufferBytes];
        char shown[kMenuLabelBytes];
        if (ReadHandlerName(list, chosen - kFirstPluginItem, name)
            && GetMenuStringA(menu, chosen, shown, sizeof shown, MF_BYCOMMAND) > 0) {
            char label[kMenuLabelBytes];
            MakeMenuLabel(name, label);
            if (lstrcmpA(label, shown) == 0) {
                ReadHandlerPath(list, name, pathBuffer);
            }
        }
    }
    return 1;
}

} // namespace

std::int32_t ChooseHandler(HINSTANCE instance, char* pathBuffer)
{
    // The list key stays open until the answer has been read.
    UniqueKey list = OpenHandlerList();
    if (!list) {
        return 0;
    }
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        return 0;
    }
    AppendMenuA(menu.get(), MF_STRING, kBuiltInItem, kBuiltInLabel);
    const DWORD handlerCount = AppendHandlerItems(menu.get(), list.get());
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING, kCancelItem, kCancelLabel);
    if (handlerCount == 0) {
        return 0;
    }

    RegisterChooserWindowClass(instance);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kChooserWindowClass,
                                  kApplicationTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, SW_HIDE);
    UpdateWindow(window);

    // The window destroys itself when WM_SHOWHANDLERMENU is dispatched, after
    // the menu has been answered; its WM_DESTROY ends the loop.
    std::int32_t result = 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_SHOWHANDLERMENU) {
            result = AnswerMenu(menu.get(), window, list.get(), pathBuffer);
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return result;
}
