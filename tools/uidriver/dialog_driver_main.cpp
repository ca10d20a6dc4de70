// The UI driver as a command, for the run scripts:
//   dialog_driver wait [MS]    waits for the program data dialog and prints its
//                              screen rectangle as WxH+X+Y
//   dialog_driver show         prints the dialog's fields
//   dialog_driver register     presses "登録"
//   dialog_driver cancel       presses "ｷｬﾝｾﾙ"
//   dialog_driver menu [MS]    waits for the handler menu and prints its screen
//                              rectangle as WxH+X+Y
//   dialog_driver dismiss-menu closes the handler menu with Esc
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
    if (std::strcmp(command, "register") == 0) {
        return EndProgramDataDialog(dialog, DialogEnding::Register) ? 0 : 1;
    }
    if (std::strcmp(command, "cancel") == 0) {
        return EndProgramDataDialog(dialog, DialogEnding::Cancel) ? 0 : 1;
    }
    std::fprintf(
        stderr,
        "usage: dialog_driver wait|show|register|cancel|menu|dismiss-menu|reminder|reminder-list|"
        "close-reminder [timeout-ms]\n");
    return 2;
}
