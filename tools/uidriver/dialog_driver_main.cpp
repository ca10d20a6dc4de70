// The dialog driver as a command, for the run scripts:
//   dialog_driver wait [MS]    waits for the program data dialog and prints its
//                              screen rectangle as WxH+X+Y
//   dialog_driver show         prints the dialog's fields
//   dialog_driver register     presses "登録"
//   dialog_driver cancel       presses "ｷｬﾝｾﾙ"
// Exit code 0 on success, 1 when no dialog appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "program_data_dialog_driver.h"

int main(int argc, char** argv)
{
    const char* command = argc > 1 ? argv[1] : "wait";
    const DWORD timeoutMs =
        argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 30000;
    HWND dialog = WaitForProgramDataDialog(0, timeoutMs);
    if (dialog == nullptr) {
        std::fprintf(stderr, "no program data dialog appeared\n");
        return 1;
    }
    if (std::strcmp(command, "wait") == 0) {
        RECT rect{};
        GetWindowRect(dialog, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                    rect.top);
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
    std::fprintf(stderr, "usage: dialog_driver wait|show|register|cancel [timeout-ms]\n");
    return 2;
}
