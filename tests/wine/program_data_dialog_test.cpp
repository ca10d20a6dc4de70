// The program data dialog in the test's own process, so that its end codes can
// be checked directly; a second thread plays the user.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "program_data_dialog_driver.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/show_program_data_dialog.h"
#include "ui_driver.h"

namespace {

constexpr DWORD kWaitMs = 10000;

struct UserActions {
    DialogEnding ending;
    bool expectWarning;
    bool sawDialog = false;
    bool sawWarning = false;
    std::vector<std::string> wholeLabels{}; // labels whose text fits their control, in tab order
};

using UniqueMemoryDc = UniqueResource<HDC, NullInvalidDeleter<HDC, &DeleteDC>>;

// A label (or the check box, whose box takes room before its text) shows
// whole when its text, trailing blanks aside, fits its width in the
// control's own font: a wider text is wrapped and loses its end.
BOOL CALLBACK CollectWholeLabel(HWND control, LPARAM labels)
{
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    const bool label = GetDlgCtrlID(control) == 0xFFFF;
    const bool checkBox = lstrcmpiA(className, "Button") == 0
                          && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (!label && !checkBox) {
        return TRUE;
    }
    char text[64] = {};
    std::string shown(text, static_cast<std::size_t>(GetWindowTextA(control, text, sizeof text)));
    const std::string measured = shown.substr(0, shown.find_last_not_of(' ') + 1);
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &extent);
    RECT client{};
    GetClientRect(control, &client);
    const LONG room = client.right - (checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0);
    if (extent.cx <= room) {
        reinterpret_cast<std::vector<std::string>*>(labels)->push_back(shown);
    }
    return TRUE;
}

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
        if (dialog) {
            EnumChildWindows(dialog, &CollectWholeLabel,
                             reinterpret_cast<LPARAM>(&user.wholeLabels));
        }
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

// Under Wine the template's font is mapped to a proportional one by the test
// prefix (run-in-wine.sh), as Windows has it.
TEST(ProgramDataDialogLayout, EveryLabelShowsWhole)
{
    UserActions user{DialogEnding::Cancel, false};
    RunDialog(user);
    const std::vector<std::string> all = {
        "年 ",    "月 ",         "日 ",
        "時 ",    "分 ",         "放送開始時間 : ",
        "通知は", "分前に行う ", "終了時削除で作成",
    };
    EXPECT_EQ(user.wholeLabels, all);
}
