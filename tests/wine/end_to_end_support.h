// What the end-to-end tests of loxa.exe share: the program's two texts, test
// documents, and the checks of its boxes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"
#include "ui_driver.h"
#include "wait_scale.h"

// Generous: a loaded machine may take a while to start a Wine process. The
// waits poll, so a passing test never takes this long.
inline const DWORD kWaitMs = ScaledWaitMs(10000);
constexpr DWORD kExitCodeAfterUsage = 0xFFFFFFFF; // WinMain's -1

inline const std::string kUsageText = "/U レジストリからの削除\n/R レジストリへの登録";
inline const std::string kVersionWarningText =
    "番組データのバージョンが変わってしまっています。\n"
    "正常に表示できないかもしれマセン。\n"
    "処理を継続しますか";
inline const std::string kCaption = "Loxa";

// A document with CR LF lines; `versionLine` is put first (nothing when empty).
inline std::string Document(const std::string& versionLine)
{
    std::string text = "Content-type: application/x-tv-program-info\r\n";
    if (!versionLine.empty()) {
        text += versionLine + "\r\n";
    }
    return text
           + "station: NHK総合\r\n"
             "year: 2026\r\n"
             "month: 12\r\n"
             "date: 7\r\n"
             "start: 21:00\r\n"
             "end: 21:45\r\n"
             "program-title: ニュース\r\n"
             "\r\n"
             "今日の出来事。\r\n";
}

// A scratch folder named after the running test.
inline bool CreateTestFolder(ScratchFolder& folder)
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return CreateScratchFolder(std::string(test->test_suite_name()) + "." + test->name(), folder);
}

inline void ExpectVersionWarning(const MessageBoxView& box)
{
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, kVersionWarningText);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(box.icon, BoxIcon::Warning);
}

inline void ExpectUsageMessage(const MessageBoxView& box)
{
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, kUsageText);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(box.icon, BoxIcon::Information);
}

// Answers every box or dialog the run shows (collected in `boxes`) until it
// ends; it must end with `expectedExitCode`.
inline void AnswerBoxesUntilExit(const LoxaProcess& loxa, std::vector<MessageBoxView>& boxes,
                                 DWORD expectedExitCode = 0)
{
    DWORD exitCode = 99;
    ASSERT_TRUE(AnswerUntilExit(loxa, kWaitMs, exitCode, boxes)) << DriverFailure();
    EXPECT_EQ(exitCode, expectedExitCode);
}

// The same, and the run shows nothing more.
inline void ExpectExitWithoutBoxes(const LoxaProcess& loxa, DWORD expectedExitCode = 0)
{
    std::vector<MessageBoxView> boxes;
    ASSERT_NO_FATAL_FAILURE(AnswerBoxesUntilExit(loxa, boxes, expectedExitCode));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
}

// Starts loxa.exe with `tail`, then AnswerBoxesUntilExit.
inline void RunAnsweringBoxes(LoxaProcess& loxa, const std::string& tail,
                              std::vector<MessageBoxView>& boxes, DWORD expectedExitCode = 0)
{
    SCOPED_TRACE(tail);
    ASSERT_TRUE(StartLoxa(tail, loxa)) << DriverFailure();
    AnswerBoxesUntilExit(loxa, boxes, expectedExitCode);
}

// Starts loxa.exe with `tail`, then ExpectExitWithoutBoxes.
inline void ExpectRunWithoutBoxes(const std::string& tail, DWORD expectedExitCode = 0)
{
    SCOPED_TRACE(tail);
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(tail, loxa)) << DriverFailure();
    ExpectExitWithoutBoxes(loxa, expectedExitCode);
}

// Expects the version warning, answers it with `answer` and expects the run
// to end with 0 (answering whatever follows).
inline void ExpectWarningThenExitZero(const LoxaProcess& loxa, int answer)
{
    MessageBoxView box;
    ASSERT_TRUE(WaitForMessageBox(loxa.processId, kWaitMs, box)) << DriverFailure();
    ExpectVersionWarning(box);
    ASSERT_TRUE(PressDialogButton(box.window, answer)) << DriverFailure();
    std::vector<MessageBoxView> later;
    AnswerBoxesUntilExit(loxa, later);
}

// The same for loxa.exe started with `tail`.
inline void ExpectWarningThenExitZero(const std::string& tail, int answer)
{
    SCOPED_TRACE(tail);
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(tail, loxa)) << DriverFailure();
    ExpectWarningThenExitZero(loxa, answer);
}
