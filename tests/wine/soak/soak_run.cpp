#include "soak_run.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "document/parse_program_info.h"
#include "end_to_end_support.h"
#include "expected_chip.h"
#include "program_data_dialog_driver.h"
#include "reminder/memo_field_limit.h"
#include "reminder_receiver_process.h"

namespace {

// The first dialog of a 100 MB document takes a while: the file is read and
// copied, and Wine lays the memo field out.
const DWORD kDialogWaitMs = ScaledWaitMs(60000);

// Text as an edit control shows it: turned into UTF-16 with the ANSI code
// page on the way in, and back on the way out to WM_GETTEXT. Bytes that are
// no code page 932 character come back changed, here as in the control.
std::string AsShown(const std::string& bytes)
{
    if (bytes.empty()) {
        return bytes;
    }
    const int wideLength =
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string shown(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, shown.data(), length, nullptr, nullptr);
    return shown;
}

std::string TwoDigits(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(value));
    return text;
}

struct ExpectedRun {
    bool showsDialog = false; // false when the program reads no text at all
    bool versionWarning = false;
    ProgramDataDialogView view;
};

// What the program shows for `document`, from the parser run on a copy of the
// text the program reads (up to the first NUL).
ExpectedRun ExpectRun(const std::string& document)
{
    ExpectedRun expected;
    std::string text = document.substr(0, document.find('\0'));
    if (text.empty()) {
        return expected;
    }
    ProgramInfo info{};
    ParseProgramInfo(info, text.data());
    expected.showsDialog = true;
    expected.versionWarning = info.version != 1;
    ProgramDataDialogView& view = expected.view;
    view.year = std::to_string(static_cast<std::uint32_t>(info.year));
    view.month = std::to_string(static_cast<std::uint32_t>(info.month));
    view.day = std::to_string(static_cast<std::uint32_t>(info.day));
    view.startHour = TwoDigits(info.startHour);
    view.startMinute = TwoDigits(info.startMinute);
    view.title = AsShown(info.title ? info.title : "");
    // The memo field gets its pieces one by one, up to its limit.
    MemoPieces pieces;
    ComposeMemoPieces(info, pieces);
    const MemoFieldFit fit = FitMemoField(pieces);
    for (int i = 0; i < fit.wholeParts; ++i) {
        view.memo += AsShown(pieces.parts[i]);
    }
    if (fit.cutLength > 0) {
        view.memo += AsShown(std::string(pieces.parts[fit.wholeParts], fit.cutLength));
    }
    return expected;
}

void ExpectFields(const ProgramDataDialogView& shown, const ProgramDataDialogView& expected)
{
    EXPECT_EQ(shown.year, expected.year);
    EXPECT_EQ(shown.month, expected.month);
    EXPECT_EQ(shown.day, expected.day);
    EXPECT_EQ(shown.startHour, expected.startHour);
    EXPECT_EQ(shown.startMinute, expected.startMinute);
    EXPECT_EQ(shown.title.size(), expected.title.size());
    EXPECT_TRUE(shown.title == expected.title) << "the title differs";
    EXPECT_EQ(shown.memo.size(), expected.memo.size());
    EXPECT_TRUE(shown.memo == expected.memo) << "the memo differs";
    EXPECT_EQ(shown.leadMinutes, "5");
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

} // namespace

void RunSoakDocument(const std::string& document, SoakEnding ending, SoakMeasure& measure)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    ReceiverProcess receiver;
    if (ending == SoakEnding::Register) {
        ASSERT_TRUE(StartReceiver(folder.path, "", receiver));
    }
    const std::string path = WriteScratchFile(folder, "soak.loxa", document);
    ASSERT_FALSE(path.empty());
    const ExpectedRun expected = ExpectRun(document);

    const DWORD start = GetTickCount();
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(path, loxa));
    if (!expected.showsDialog) {
        // Nothing to answer: the run must end by itself.
        ASSERT_NO_FATAL_FAILURE(WaitForExitWatchingPeak(loxa, measure.peakBytes));
        return;
    }
    if (expected.versionWarning) {
        MessageBoxView box;
        ASSERT_TRUE(WaitForMessageBox(loxa.processId, kDialogWaitMs, box));
        ExpectVersionWarning(box);
        ASSERT_TRUE(PressDialogButton(box.window, IDOK));
    }
    HWND dialog = WaitForProgramDataDialog(loxa.processId, kDialogWaitMs);
    ASSERT_NE(dialog, nullptr);
    // The dialog shows before its fields are laid out and painted; until
    // then a read of its fields would time out.
    ASSERT_EQ(WaitForInputIdle(loxa.process.get(), kDialogWaitMs), 0u);
    ProgramDataDialogView& view = measure.shown;
    ASSERT_TRUE(ReadProgramDataDialog(dialog, view));
    measure.dialogMs = GetTickCount() - start;
    ExpectFields(view, expected.view);
    measure.peakBytes = PeakMemoryBytes(loxa.process.get());

    ASSERT_TRUE(EndProgramDataDialog(
        dialog, ending == SoakEnding::Register ? DialogEnding::Register : DialogEnding::Cancel));
    ASSERT_NO_FATAL_FAILURE(WaitForExitWatchingPeak(loxa, measure.peakBytes));
    if (ending == SoakEnding::Register) {
        std::string chip;
        std::string line;
        ASSERT_TRUE(WaitForChip(receiver, 1, kWaitMs, chip, line));
        EXPECT_TRUE(chip == ExpectedChip(view.title, view.memo, 3, 1, 20, 55))
            << "the chip differs from the fields shown";
    }
}

void SoakDocument(const std::string& document, SoakEnding ending, ProgramDataDialogView* shown)
{
    SoakMeasure measure;
    ASSERT_NO_FATAL_FAILURE(RunSoakDocument(document, ending, measure));
    if (shown) {
        *shown = measure.shown;
    }
    const SIZE_T allowed = kBaseMemoryAllowance + kMemoryPerDocumentByte * document.size();
    std::printf(
        "[ soak     ] %zu document bytes: peak %zu bytes (allowed %zu), dialog after %lu ms\n",
        document.size(), static_cast<std::size_t>(measure.peakBytes),
        static_cast<std::size_t>(allowed), static_cast<unsigned long>(measure.dialogMs));
    EXPECT_NE(measure.peakBytes, 0u) << "the peak memory could not be read";
    EXPECT_LE(measure.peakBytes, allowed);
}
