#include "soak_run.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "end_to_end_support.h"
#include "expected_chip.h"
#include "program_data_dialog_driver.h"
#include "reminder_receiver_process.h"

namespace {

// The first dialog of a 100 MB document takes a while: the file is read and
// copied, and Wine lays the memo field out.
const DWORD kDialogWaitMs = ScaledWaitMs(60000);

void ExpectFields(const ProgramDataDialogView& shown, const SoakExpectation& expectation)
{
    const ProgramDataDialogView& expected = expectation.fields;
    EXPECT_EQ(shown.year, expected.year);
    EXPECT_EQ(shown.month, expected.month);
    EXPECT_EQ(shown.day, expected.day);
    EXPECT_EQ(shown.startHour, expected.startHour);
    EXPECT_EQ(shown.startMinute, expected.startMinute);
    EXPECT_EQ(shown.leadMinutes, "5");
    if (!expectation.checkTexts) {
        return;
    }
    EXPECT_EQ(shown.title.size(), expected.title.size());
    EXPECT_TRUE(shown.title == expected.title) << "the title differs";
    EXPECT_EQ(shown.memo.size(), expected.memo.size());
    EXPECT_TRUE(shown.memo == expected.memo) << "the memo differs";
}

// Expects the run to end by itself with exit code 0 (a box it showed would
// keep it waiting), reading its peak memory while it lasts: Wine has no
// counters for a process that has ended.
void WaitForExitWatchingPeak(const LoxaProcess& loxa, SIZE_T& peakBytes)
{
    const DWORD start = GetTickCount();
    DWORD exitCode = 1;
    while (!WaitForExit(loxa, 10, exitCode)) {
        peakBytes = std::max(peakBytes, PeakMemoryBytes(loxa.process.get()));
        ASSERT_LT(GetTickCount() - start, kWaitMs) << "the run did not end";
    }
    EXPECT_EQ(exitCode, 0u);
}

// Fails the run where the warning or the dialog could not be had, saying
// why: the driver's call that failed and whether loxa.exe still runs or with
// what it ended.
void FailUnread(const LoxaProcess& loxa, const char* what)
{
    const std::string driver = DriverFailure();
    DWORD exitCode = STILL_ACTIVE;
    const bool ended = WaitForExit(loxa, 0, exitCode);
    FAIL() << what << "; " << driver << "; loxa.exe "
           << (ended ? "ended with exit code " + std::to_string(exitCode) : "still runs");
}

} // namespace

SoakExpectation SoakHeaderFields(const std::string& title, const std::string& memo)
{
    SoakExpectation expected;
    expected.fields.year = "2027";
    expected.fields.month = "3";
    expected.fields.day = "1";
    expected.fields.startHour = "21";
    expected.fields.startMinute = "00";
    expected.fields.title = title;
    expected.fields.memo = memo;
    return expected;
}

SoakExpectation NothingReadFields(const std::string& memo)
{
    SoakExpectation expected;
    expected.versionWarning = true;
    expected.fields.year = "0";
    expected.fields.month = "0";
    expected.fields.day = "0";
    expected.fields.startHour = "00";
    expected.fields.startMinute = "00";
    expected.fields.memo = memo;
    return expected;
}

void RunSoakDocument(const std::string& document, const SoakExpectation& expected,
                     SoakEnding ending, SoakMeasure& measure)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    ReceiverProcess receiver;
    if (ending == SoakEnding::Register) {
        ASSERT_TRUE(StartReceiver(folder.path, "", receiver)) << DriverFailure();
    }
    const std::string path = WriteScratchFile(folder, "soak.loxa", document);
    ASSERT_FALSE(path.empty());

    const DWORD start = GetTickCount();
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(path, loxa)) << DriverFailure();
    if (!expected.showsDialog) {
        // Nothing to answer: the run must end by itself.
        ASSERT_NO_FATAL_FAILURE(WaitForExitWatchingPeak(loxa, measure.peakBytes));
        return;
    }
    if (expected.versionWarning) {
        MessageBoxView box;
        if (!WaitForMessageBox(loxa.processId, kDialogWaitMs, box)) {
            FailUnread(loxa, "no version warning");
            return;
        }
        ExpectVersionWarning(box);
        ASSERT_TRUE(PressDialogButton(box.window, IDOK)) << DriverFailure();
        // The dialog is read only after the box has gone.
        while (IsWindow(box.window)) {
            ASSERT_LT(GetTickCount() - start, kDialogWaitMs) << "the warning stayed";
            PauseAnsweringMessages(20);
        }
    }
    HWND dialog = WaitForProgramDataDialog(loxa.processId, kDialogWaitMs);
    if (dialog == nullptr) {
        FailUnread(loxa, "no dialog");
        return;
    }
    // The dialog shows before its fields are laid out and painted; until
    // then a read of its fields would time out.
    ASSERT_EQ(WaitForInputIdle(loxa.process.get(), kDialogWaitMs), 0u);
    ProgramDataDialogView& view = measure.shown;
    if (!ReadProgramDataDialog(dialog, view)) {
        FailUnread(loxa, "the dialog could not be read");
        return;
    }
    measure.dialogMs = GetTickCount() - start;
    ExpectFields(view, expected);
    measure.peakBytes = PeakMemoryBytes(loxa.process.get());

    ASSERT_TRUE(EndProgramDataDialog(dialog, ending == SoakEnding::Register ? DialogEnding::Register
                                                                            : DialogEnding::Cancel))
        << DriverFailure();
    ASSERT_NO_FATAL_FAILURE(WaitForExitWatchingPeak(loxa, measure.peakBytes));
    if (ending == SoakEnding::Register) {
        std::string chip;
        std::string line;
        ASSERT_TRUE(WaitForChip(receiver, 1, kWaitMs, chip, line));
        EXPECT_TRUE(chip == ExpectedChip(view.title, view.memo, 3, 1, 20, 55))
            << "the chip differs from the fields shown";
    }
}

void SoakDocument(const std::string& document, const SoakExpectation& expected, SoakEnding ending)
{
    SoakMeasure measure;
    ASSERT_NO_FATAL_FAILURE(RunSoakDocument(document, expected, ending, measure));
    const SIZE_T allowed = kBaseMemoryAllowance + kMemoryPerDocumentByte * document.size();
    std::printf(
        "[ soak     ] %zu document bytes: peak %zu bytes (allowed %zu), dialog after %lu ms\n",
        document.size(), static_cast<std::size_t>(measure.peakBytes),
        static_cast<std::size_t>(allowed), static_cast<unsigned long>(measure.dialogMs));
    EXPECT_NE(measure.peakBytes, 0u) << "the peak memory could not be read";
    EXPECT_LE(measure.peakBytes, allowed);
}
