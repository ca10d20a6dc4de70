// The UI driver as a command, for the run scripts:
//   dialog_driver wait [MS]    waits for the program data dialog and prints its
//                              screen rectangle as WxH+X+Y
//   dialog_driver show         prints the dialog's fields
//   dialog_driver register     presses "登録"
//   dialog_driver cancel       presses "ｷｬﾝｾﾙ"
//   dialog_driver menu [MS]    waits for the handler menu and prints its screen
//                              rectangle as WxH+X+Y
//   dialog_driver dismiss-menu closes the handler menu with Esc
//   dialog_driver labels       prints each label's text width against its
//                              room, in pixels at the screen's DPI; exit 1
//                              when a label is clipped
// For pictures of the program (scripts/screenshots.sh), each of these brings
// its window to the front, as the user's click would, and prints its screen
// rectangle as WxH+X+Y:
//   dialog_driver pose [MS]    the program data dialog, with the focus on
//                              "登録" rather than on a read-only field
//   dialog_driver box [MS]     a message box of any process
//   dialog_driver window TITLE [MS]  the top-level window whose title starts so
// and these answer what they wait for:
//   dialog_driver close-box [MS]     presses OK in a message box
//   dialog_driver press TITLE ID [MS]  presses button ID in the window TITLE
//   dialog_driver reminder [MS]
//   dialog_driver reminder-list [MS]
//                              wait for loxa-reminder.exe's reminder window or
//                              its list and print its screen rectangle
//   dialog_driver dismiss-reminder [MS]
//                              presses the reminder window's "閉じる"
//   dialog_driver close-reminder [MS]
//                              ends loxa-reminder.exe as the installer does
//                              (WM_CLOSE) and waits for it to end
// Exit code 0 on success, 1 when no dialog or menu appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "handler_menu_driver.h"
#include "program_data_dialog_driver.h"
#include "ui_driver.h"

namespace {

void PrintRectangle(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
}

// Makes the window the foreground one and has it draw its title bar active.
// Without a window manager Wine keeps the foreground window's caption drawn
// inactive, as no focus ever comes from the display.
void BringToFront(HWND window)
{
    SetForegroundWindow(window);
    SendMessageA(window, WM_NCACTIVATE, TRUE, 0);
    Sleep(300); // the repaint comes from the window's own thread
}

struct TitleSearch {
    const char* title;
    HWND found;
};

// An installer adds the page's name to its title; the given title is a start.
BOOL CALLBACK FindTitledWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<TitleSearch*>(parameter);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window)
        && std::strncmp(text, search.title, std::strlen(search.title)) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForTopLevelWindow(const char* title, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        TitleSearch search{title, nullptr};
        EnumWindows(&FindTitledWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        if (GetTickCount() - start >= timeoutMs) {
            return nullptr;
        }
        Sleep(50);
    }
}

// The commands that name a window by its title: window, press.
int DriveTitledWindow(int argc, char** argv)
{
    const bool press = std::strcmp(argv[1], "press") == 0;
    const int timeoutIndex = press ? 4 : 3;
    if (argc < timeoutIndex) {
        return 2;
    }
    const DWORD timeoutMs = argc > timeoutIndex
                                ? static_cast<DWORD>(std::strtoul(argv[timeoutIndex], nullptr, 10))
                                : 30000;
    HWND window = WaitForTopLevelWindow(argv[2], timeoutMs);
    if (window == nullptr) {
        std::fprintf(stderr, "no window \"%s\" appeared\n", argv[2]);
        return 1;
    }
    if (press) {
        return PressDialogButton(window, static_cast<int>(std::strtol(argv[3], nullptr, 10))) ? 0
                                                                                              : 1;
    }
    BringToFront(window);
    PrintRectangle(window);
    return 0;
}

// The commands about a message box: box, close-box.
int DriveMessageBox(const char* command, DWORD timeoutMs)
{
    HWND box = WaitForMessageBoxOverDialog(0, timeoutMs);
    if (box == nullptr) {
        std::fprintf(stderr, "no message box appeared\n");
        return 1;
    }
    if (std::strcmp(command, "close-box") == 0) {
        return PressDialogButton(box, IDOK) ? 0 : 1;
    }
    BringToFront(box);
    PrintRectangle(box);
    return 0;
}

int DriveMenu(const char* command, DWORD timeoutMs)
{
    HandlerMenuView menu;
    menu.window = WaitForMenuWindow(0, timeoutMs);
    if (menu.window == nullptr) {
        std::fprintf(stderr, "no handler menu appeared\n");
        return 1;
    }
    if (std::strcmp(command, "menu") == 0) {
        PrintRectangle(menu.window);
        return 0;
    }
    return DismissMenu(menu) ? 0 : 1;
}

// The dialog's font at the screen's DPI, measured in this process: another
// process's font handle is of no use here.
int CheckLabels(HWND dialog)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    HFONT font = CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, "ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(screen, font);
    int clipped = 0;
    std::printf("dpi %d\n", dpi);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(className, "Static") != 0 || text[0] == '\0') {
            continue;
        }
        SIZE extent{};
        GetTextExtentPoint32A(screen, text, lstrlenA(text), &extent);
        RECT room{};
        GetClientRect(child, &room);
        const bool fits = extent.cx <= room.right && extent.cy <= room.bottom;
        clipped += fits ? 0 : 1;
        std::printf("%s %ldx%ld in %ldx%ld %s\n", fits ? "fits" : "CLIPPED", extent.cx, extent.cy,
                    room.right, room.bottom, text);
    }
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return clipped == 0 ? 0 : 1;
}

// loxa-reminder.exe has no visible main window; its hidden one tells its
// process.
int DriveReminder(const char* command, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND hidden = nullptr;
    while ((hidden = FindWindowA("LoxaReminder", nullptr)) == nullptr
           && GetTickCount64() < deadline) {
        Sleep(50);
    }
    if (hidden == nullptr) {
        std::fprintf(stderr, "loxa-reminder.exe is not running\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(hidden, &processId);
    if (std::strcmp(command, "close-reminder") == 0) {
        const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
        PostMessageA(hidden, WM_CLOSE, 0, 0);
        return process && WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0 ? 0 : 1;
    }
    const char* title =
        std::strcmp(command, "reminder-list") == 0 ? "番組リマインダー - 一覧" : "番組リマインダー";
    const ULONGLONG now = GetTickCount64();
    HWND window = WaitForProcessWindow(processId, "#32770", title,
                                       static_cast<DWORD>(deadline > now ? deadline - now : 0));
    if (window == nullptr) {
        std::fprintf(stderr, "no %s window appeared\n", command);
        return 1;
    }
    if (std::strcmp(command, "dismiss-reminder") == 0) {
        return PressDialogButton(window, IDOK) ? 0 : 1;
    }
    PrintRectangle(window);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* command = argc > 1 ? argv[1] : "wait";
    const DWORD timeoutMs =
        argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 30000;
    if (std::strcmp(command, "menu") == 0 || std::strcmp(command, "dismiss-menu") == 0) {
        return DriveMenu(command, timeoutMs);
    }
    if (std::strcmp(command, "window") == 0 || std::strcmp(command, "press") == 0) {
        return DriveTitledWindow(argc, argv);
    }
    if (std::strcmp(command, "box") == 0 || std::strcmp(command, "close-box") == 0) {
        return DriveMessageBox(command, timeoutMs);
    }
    if (std::strstr(command, "reminder") != nullptr) {
        return DriveReminder(command, timeoutMs);
    }
    HWND dialog = WaitForProgramDataDialog(0, timeoutMs);
    if (dialog == nullptr) {
        std::fprintf(stderr, "no program data dialog appeared\n");
        return 1;
    }
    if (std::strcmp(command, "wait") == 0) {
        PrintRectangle(dialog);
        return 0;
    }
    if (std::strcmp(command, "pose") == 0) {
        BringToFront(dialog);
        // The first field takes the focus with its text selected; on the
        // default button nothing is selected.
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)),
                     TRUE);
        Sleep(200);
        PrintRectangle(dialog);
        return 0;
    }
    if (std::strcmp(command, "show") == 0) {
        ProgramDataDialogView view;
        if (!ReadProgramDataDialog(dialog, view)) {
            return 1;
        }
        std::printf("%s/%s/%s %s:%s lead %s (%d..%d) delete-when-done %s\ntitle: %s\nmemo: %s\n",
                    view.year.c_str(), view.month.c_str(), view.day.c_str(), view.startHour.c_str(),
                    view.startMinute.c_str(), view.leadMinutes.c_str(), view.leadLow, view.leadHigh,
                    view.deleteWhenDone ? "yes" : "no", view.title.c_str(), view.memo.c_str());
        return 0;
    }
    if (std::strcmp(command, "labels") == 0) {
        return CheckLabels(dialog);
    }
    if (std::strcmp(command, "register") == 0) {
        return EndProgramDataDialog(dialog, DialogEnding::Register) ? 0 : 1;
    }
    if (std::strcmp(command, "cancel") == 0) {
        return EndProgramDataDialog(dialog, DialogEnding::Cancel) ? 0 : 1;
    }
    std::fprintf(
        stderr,
        "usage: dialog_driver wait|show|labels|register|cancel|menu|dismiss-menu|pose|box|close-box|"
        "reminder|reminder-list|dismiss-reminder|close-reminder [timeout-ms]\n"
        "       dialog_driver window TITLE [timeout-ms]\n"
        "       dialog_driver press TITLE BUTTON-ID [timeout-ms]\n");
    return 2;
}
