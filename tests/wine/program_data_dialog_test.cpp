// The program data dialog in the test's own process, so that its end codes can
// be checked directly; a second thread plays the user.
#include <gtest/gtest.h>

#include <thread>

#include "program_data_dialog_driver.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/show_program_data_dialog.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const DWORD kWaitMs = ScaledWaitMs(10000);

struct UserActions {
    DialogEnding ending;
    bool expectWarning;
    bool sawDialog = false;
    bool sawWarning = false;
};

// Runs the dialog while another thread ends it as `user` says.
std::int32_t RunDialog(UserActions& user)
{
    RegisterChipClipboardFormat();
    char title[] = "ニュース";
    ProgramInfo info{};
    info.version = 1;
    info.year = 2027;
    info.month = 1;
    info.day = 1;
    info.title = title;
    std::thread player([&user] {
        HWND dialog = WaitForProgramDataDialog(GetCurrentProcessId(), kWaitMs);
        user.sawDialog = dialog != nullptr;
        if (!dialog || !EndProgramDataDialog(dialog, user.ending)) {
            return;
        }
        if (user.expectWarning) {
            MessageBoxView box;
            HWND window = WaitForMessageBoxOverDialog(GetCurrentProcessId(), kWaitMs);
            user.sawWarning =
                window && ReadMessageBox(window, 0, box) && box.text == "登録できませんでした";
            if (box.window) {
                PressDialogButton(box.window, IDOK);
            }
        }
    });
    const std::int32_t code = ShowProgramDataDialog(GetModuleHandleA(nullptr), nullptr, &info);
    player.join();
    return code;
}

} // namespace

TEST(ProgramDataDialogEndCode, WithoutProgramInfoReturnsTwoAtOnce)
{
    EXPECT_EQ(ShowProgramDataDialog(GetModuleHandleA(nullptr), nullptr, nullptr), IDCANCEL);
}

TEST(ProgramDataDialogEndCode, CancellingEndsWithTwo)
{
    for (DialogEnding ending :
         {DialogEnding::Cancel, DialogEnding::EscapeKey, DialogEnding::CloseBox}) {
        UserActions user{ending, false};
        EXPECT_EQ(RunDialog(user), IDCANCEL) << static_cast<int>(ending);
        EXPECT_TRUE(user.sawDialog);
    }
}

TEST(ProgramDataDialogEndCode, FailedRegistrationWarnsAndEndsWithOne)
{
    UserActions user{DialogEnding::Register, true};
    EXPECT_EQ(RunDialog(user), IDOK);
    EXPECT_TRUE(user.sawDialog);
    EXPECT_TRUE(user.sawWarning);
}
