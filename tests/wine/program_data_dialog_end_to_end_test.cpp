// The built-in road end to end under Wine: loxa.exe shows a document in the
// program data dialog, and "登録" pokes the chip to the reference receiver.
#include "end_to_end_support.h"
#include "expected_chip.h"
#include "program_data_dialog_driver.h"
#include "reminder_receiver_process.h"

namespace {

const std::string kRegistrationFailed = "登録できませんでした";

struct DialogRun {
    ScratchFolder folder;
    ReceiverProcess receiver;
    LoxaProcess loxa;
    HWND dialog = nullptr;

    DialogRun() = default;
    DialogRun(const DialogRun&) = delete;
    DialogRun& operator=(const DialogRun&) = delete;
    // A failed test may leave loxa.exe waiting; the next test needs the screen.
    ~DialogRun()
    {
        if (loxa.process && WaitForSingleObject(loxa.process.get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(loxa.process.get(), 1);
            WaitForSingleObject(loxa.process.get(), kWaitMs);
        }
    }
};

// A document of version 1 starting at `start` on `date` ("YYYY M D").
std::string DatedDocument(const std::string& year, const std::string& month, const std::string& day,
                          const std::string& start)
{
    return "Content-type: application/x-tv-program-info\r\n"
           "version: 1\r\n"
           "station: ＮＨＫ総合\r\n"
           "year: " + year + "\r\n"
           "month: " + month + "\r\n"
           "date: " + day + "\r\n"
           "start: " + start + "\r\n"
           "end: 23:59\r\n"
           "program-title: 映像の世紀\r\n"
           "program-subtitle: 第１集\r\n"
           "\r\n"
           "記録映像で振り返る。\r\n";
}

// Starts the receiver (unless `receiverOptions` is null) and loxa.exe on
// `document`, and waits for the dialog.
void OpenDialog(DialogRun& run, const std::string& document, const char* receiverOptions)
{
    ASSERT_TRUE(CreateTestFolder(run.folder));
    if (receiverOptions) {
        ASSERT_TRUE(StartReceiver(run.folder.path, receiverOptions, run.receiver))
            << DriverFailure();
    }
    const std::string path = WriteScratchFile(run.folder, "program.loxa", document);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(StartLoxa(path, run.loxa)) << DriverFailure();
    run.dialog = WaitForProgramDataDialog(run.loxa.processId, kWaitMs);
    ASSERT_NE(run.dialog, nullptr);
}

// Expects the dialog to close without any box and the run to end with 0.
void ExpectQuietExit(DialogRun& run)
{
    const DWORD start = GetTickCount();
    while (IsWindow(run.dialog) && GetTickCount() - start < kWaitMs) {
        PauseAnsweringMessages(20);
    }
    EXPECT_EQ(WaitForMessageBoxOverDialog(run.loxa.processId, 0), nullptr);
    ASSERT_FALSE(IsWindow(run.dialog)) << "the dialog stayed open";
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForExit(run.loxa, kWaitMs, exitCode)) << DriverFailure();
    EXPECT_EQ(exitCode, 0u);
}

// Presses "登録" and expects the chip `expected` under `item`.
void ExpectRegistered(DialogRun& run, const std::string& expected, const std::string& item)
{
    ASSERT_TRUE(EndProgramDataDialog(run.dialog, DialogEnding::Register)) << DriverFailure();
    std::string bytes;
    std::string line;
    ASSERT_TRUE(WaitForChip(run.receiver, 1, kWaitMs, bytes, line));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(line.rfind("chip item=\"" + item + "\" ", 0), 0u) << line;
    ExpectQuietExit(run);
    EXPECT_TRUE(HasNoChip(run.receiver, 2));
}

// Presses "登録" (`presses` times in a row) and expects one failure
// warning, then the end of the run.
void ExpectRegistrationWarning(DialogRun& run, int presses = 1)
{
    for (int i = 0; i < presses; ++i) {
        ASSERT_TRUE(EndProgramDataDialog(run.dialog, DialogEnding::Register)) << DriverFailure();
    }
    MessageBoxView box;
    HWND window = WaitForMessageBoxOverDialog(run.loxa.processId, kWaitMs);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ReadMessageBox(window, kWaitMs, box));
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, kRegistrationFailed);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(box.icon, BoxIcon::Warning);
    ASSERT_TRUE(PressDialogButton(box.window, IDOK)) << DriverFailure();
    ExpectQuietExit(run);
}

const std::string kMemo =
    "タイトル：映像の世紀 - 第１集 - \r\n"
    "放送局：ＮＨＫ総合 (03/01 00:30 - 23:59)\r\n\r\n"
    "記録映像で振り返る。";

} // namespace

TEST(ProgramDataDialog, ShowsTheDocument)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, Document("version: 1"), nullptr));
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(run.dialog, view));
    EXPECT_EQ(view.year, "2026");
    EXPECT_EQ(view.month, "12");
    EXPECT_EQ(view.day, "7");
    EXPECT_EQ(view.startHour, "21");
    EXPECT_EQ(view.startMinute, "00");
    EXPECT_EQ(view.title, "ニュース");
    EXPECT_EQ(view.memo,
              "タイトル：ニュース\r\n放送局：NHK総合 (12/07 21:00 - 21:45)\r\n\r\n今日の出来事。");
    EXPECT_EQ(view.leadMinutes, "5");
    EXPECT_EQ(view.leadLow, 0);
    EXPECT_EQ(view.leadHigh, 60);
    EXPECT_TRUE(view.deleteWhenDone);
    ASSERT_TRUE(EndProgramDataDialog(run.dialog, DialogEnding::Cancel)) << DriverFailure();
    ExpectQuietExit(run);
}

TEST(ProgramDataDialog, ShowsFaultyNumbersAsTheyAre)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("-1", "x", "32", "7:5"), nullptr));
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(run.dialog, view));
    EXPECT_EQ(view.year, "4294967295"); // unsigned, as the field shows numbers
    EXPECT_EQ(view.month, "0");
    EXPECT_EQ(view.day, "32");
    EXPECT_EQ(view.startHour, "07");
    EXPECT_EQ(view.startMinute, "05");
    ASSERT_TRUE(EndProgramDataDialog(run.dialog, DialogEnding::Cancel)) << DriverFailure();
    ExpectQuietExit(run);
}

TEST(ProgramDataDialog, RegisterSendsTheDocumentAsShown)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), ""));
    ExpectRegistered(run, ExpectedChip("映像の世紀", kMemo, 3, 1, 0, 25), "ChipBinary /R /D");
}

TEST(ProgramDataDialog, RegisterSendsTheEditedFields)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), ""));
    ASSERT_TRUE(SetDialogTitle(run.dialog, ""));
    ASSERT_TRUE(SetDialogMemo(run.dialog, "メモ\r\n二行目"));
    ASSERT_TRUE(SetDialogLeadMinutes(run.dialog, "0"));
    ASSERT_TRUE(ToggleDeleteWhenDone(run.dialog));
    ProgramDataDialogView view;
    ASSERT_TRUE(ReadProgramDataDialog(run.dialog, view));
    EXPECT_FALSE(view.deleteWhenDone);
    ExpectRegistered(run, ExpectedChip("", "メモ\r\n二行目", 3, 1, 0, 30), "ChipBinary /R");
}

TEST(ProgramDataDialog, LeadTimeBorrowsIntoTheLeapDay)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2028", "3", "1", "00:30"), ""));
    ASSERT_TRUE(SetDialogLeadMinutes(run.dialog, "45"));
    ExpectRegistered(run, ExpectedChip("映像の世紀", kMemo, 2, 29, 23, 45), "ChipBinary /R /D");
}

TEST(ProgramDataDialog, TypedLeadTimeAboveSixtyCountsAsSixty)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), ""));
    ASSERT_TRUE(SetDialogLeadMinutes(run.dialog, "90"));
    ExpectRegistered(run, ExpectedChip("映像の世紀", kMemo, 2, 28, 23, 30), "ChipBinary /R /D");
}

TEST(ProgramDataDialog, TypedLeadTimeThatIsNoNumberCountsAsZero)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), ""));
    ASSERT_TRUE(SetDialogLeadMinutes(run.dialog, "abc"));
    ExpectRegistered(run, ExpectedChip("映像の世紀", kMemo, 3, 1, 0, 30), "ChipBinary /R /D");
}

// Over 30 000 characters, more than an edit control takes by default, and
// still within the memo field's limit of 32 KiB.
TEST(ProgramDataDialog, HugeTitleAndMemoAreSentWhole)
{
    DialogRun run;
    const std::string title(3000, 'T');
    std::string body;
    while (body.size() < 29000) {
        body += "A line of the body, sixty bytes long, repeated many times.\r\n";
    }
    body += "end";
    const std::string document =
        "version: 1\r\nyear: 2027\r\nmonth: 1\r\ndate: 1\r\nstart: 0:0\r\n"
        "program-title: "
        + title + "\r\n\r\n" + body;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, document, ""));
    ExpectRegistered(
        run, ExpectedChip(title, "タイトル：" + title + "\r\n\r\n\r\n" + body, 12, 31, 23, 55),
        "ChipBinary /R /D");
}

TEST(ProgramDataDialog, CancelEscapeAndCloseBoxSendNothing)
{
    for (DialogEnding ending :
         {DialogEnding::Cancel, DialogEnding::EscapeKey, DialogEnding::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(ending));
        DialogRun run;
        ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), ""));
        ASSERT_TRUE(EndProgramDataDialog(run.dialog, ending)) << DriverFailure();
        ExpectQuietExit(run);
        EXPECT_TRUE(HasNoChip(run.receiver, 1));
    }
}

TEST(ProgramDataDialog, WarnsWithoutAReceiver)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), nullptr));
    ExpectRegistrationWarning(run);
}

// The answer comes a fifth of a second after the time-out. A second press,
// which the warning's message loop hands to the dialog, sends nothing and
// ends nothing.
TEST(ProgramDataDialog, WarnsWhenTheReceiverAnswersTooLate)
{
    DialogRun run;
    ASSERT_NO_FATAL_FAILURE(
        OpenDialog(run, DatedDocument("2027", "3", "1", "00:30"), "--ack-delay 1200"));
    ExpectRegistrationWarning(run, 2);
    std::string bytes;
    std::string line;
    EXPECT_TRUE(WaitForChip(run.receiver, 1, 0, bytes, line));
    EXPECT_TRUE(HasNoChip(run.receiver, 2));
}
