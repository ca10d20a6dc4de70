// The program data dialog in the test's own process, so that its end codes can
// be checked directly; a second thread plays the user.
#include <windows.h>
#include <ddeml.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "import_patch.h"
#include "message_box_recorder.h"
#include "program_data_dialog_driver.h"
#include "reminder_receiver_process.h"
#include "scratch_folder.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/show_program_data_dialog.h"
#include "resources/resource_ids.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const DWORD kWaitMs = ScaledWaitMs(10000);

UINT WINAPI RejectDdeInitialise(DWORD*, PFNCALLBACK, DWORD, DWORD)
{
    return DMLERR_SYS_ERROR;
}

struct UserActions {
    DialogEnding ending;
    bool expectWarning;
    bool sawDialog = false;
    bool sawWarning = false;
    std::function<void(HWND)> inspect = {}; // looks at the dialog before it is ended
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
        if (dialog && user.inspect) {
            user.inspect(dialog);
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

// What follows 登録, with every box and beep recorded: one beep when the
// reminder application took the chip; the warning when nobody did; a DDE
// start that was rejected is named first.
TEST(ProgramDataDialogEndCode, RegistrationBeepsOnSuccessAndWarnsOnFailure)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateScratchFolder("ProgramDataDialog.Beeps", folder));
    {
        SCOPED_TRACE("accepted");
        ReceiverProcess receiver;
        ASSERT_TRUE(StartReceiver(folder.path, "", receiver)) << DriverFailure();
        MessageBoxRecorder boxes;
        ASSERT_TRUE(boxes.active());
        UserActions user{DialogEnding::Register, false};
        EXPECT_EQ(RunDialog(user), IDOK);
        EXPECT_TRUE(boxes.boxes().empty());
        EXPECT_EQ(boxes.beeps(), (std::vector<UINT>{MB_OK}));
    }
    {
        SCOPED_TRACE("no receiver");
        MessageBoxRecorder boxes;
        UserActions user{DialogEnding::Register, false};
        EXPECT_EQ(RunDialog(user), IDOK);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, "登録できませんでした");
        EXPECT_TRUE(boxes.beeps().empty());
    }
    {
        SCOPED_TRACE("DDE rejected");
        MessageBoxRecorder boxes;
        ImportPatch reject("user32.dll", "DdeInitializeA",
                           reinterpret_cast<void*>(&RejectDdeInitialise));
        ASSERT_TRUE(reject.active());
        UserActions user{DialogEnding::Register, false};
        EXPECT_EQ(RunDialog(user), IDOK);
        ASSERT_EQ(boxes.boxes().size(), 2u);
        EXPECT_EQ(boxes.boxes()[0].text, "DDEの初期化はRejectされました");
        EXPECT_EQ(boxes.boxes()[0].caption, "Loxa");
        EXPECT_EQ(boxes.boxes()[0].style, static_cast<UINT>(MB_OK));
        EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
        EXPECT_EQ(boxes.boxes()[1].text, "登録できませんでした");
        EXPECT_EQ(boxes.boxes()[1].caption, "Loxa");
        EXPECT_EQ(boxes.boxes()[1].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_NE(boxes.boxes()[1].owner, nullptr);
        EXPECT_TRUE(boxes.beeps().empty());
    }
}

namespace {

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM texts)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        reinterpret_cast<std::vector<std::string>*>(texts)->push_back(WindowText(child));
    }
    return TRUE;
}

} // namespace

// What the template makes of the running dialog beyond counts and sizes.
TEST(ProgramDataDialogTemplate, FieldsLabelsAndFirstFocus)
{
    HWND focus = nullptr;
    HWND yearField = nullptr;
    std::vector<std::string> labels;
    UserActions user{DialogEnding::Cancel, false};
    user.inspect = [&](HWND dialog) {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread)) {
            focus = thread.hwndFocus;
        }
        EXPECT_EQ(WindowText(dialog), "番組データ");
        // The date and start fields are shown, not edited.
        for (int id : {IDC_YEAR, IDC_MONTH, IDC_DAY, IDC_START_HOUR, IDC_START_MINUTE}) {
            EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) << id;
        }
        for (int id : {IDC_TITLE, IDC_MEMO_TEXT, IDC_LEAD_MINUTES}) {
            EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) << id;
        }
        // Enter in the memo presses 登録 rather than breaking the line.
        const LONG memo = GetWindowLongA(GetDlgItem(dialog, IDC_MEMO_TEXT), GWL_STYLE);
        EXPECT_TRUE(memo & ES_MULTILINE);
        EXPECT_FALSE(memo & ES_WANTRETURN);
        HWND spin = GetDlgItem(dialog, IDC_LEAD_SPIN);
        EXPECT_EQ(GetWindowLongA(spin, GWL_STYLE) & 0xFFFF, UDS_WRAP | UDS_SETBUDDYINT
                                                                | UDS_ALIGNLEFT | UDS_AUTOBUDDY
                                                                | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)),
                  GetDlgItem(dialog, IDC_LEAD_MINUTES));
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), "登録");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), "ｷｬﾝｾﾙ");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_DELETE_WHEN_DONE)), "終了時削除で作成");
        EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&labels));
        yearField = GetDlgItem(dialog, IDC_YEAR);
    };
    EXPECT_EQ(RunDialog(user), IDCANCEL);
    EXPECT_NE(focus, nullptr);
    EXPECT_EQ(focus, yearField);
    EXPECT_EQ(labels, (std::vector<std::string>{"年 ", "月 ", "日 ", "時 ", "分 ",
                                                "放送開始時間 : ", "通知は", "分前に行う "}));
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
