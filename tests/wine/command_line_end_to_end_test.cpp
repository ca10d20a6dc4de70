// loxa.exe's command line and document file, end to end under Wine.
#include "end_to_end_support.h"

namespace {

// The usage message as code page 932 bytes, written by hand so that a wrong
// compiler charset cannot make text and expectation agree.
const std::string kUsageBytes =
    "\x2F\x55\x20\x83\x8C\x83\x57\x83\x58\x83\x67\x83\x8A\x82\xA9\x82\xE7\x82\xCC\x8D\xED\x8F\x9C"
    "\x0A\x2F\x52\x20\x83\x8C\x83\x57\x83\x58\x83\x67\x83\x8A\x82\xD6\x82\xCC\x93\x6F\x98\x5E";

void ExpectUsageAndMinusOne(const std::string& tail)
{
    SCOPED_TRACE("tail: " + tail);
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(tail, loxa)) << DriverFailure();
    MessageBoxView box;
    ASSERT_TRUE(WaitForMessageBox(loxa.processId, kWaitMs, box)) << DriverFailure();
    ExpectUsageMessage(box);
    EXPECT_EQ(box.text, kUsageBytes);
    ASSERT_TRUE(PressDialogButton(box.window, IDOK)) << DriverFailure();
    DWORD exitCode = 0;
    ASSERT_TRUE(WaitForExit(loxa, kWaitMs, exitCode)) << DriverFailure();
    EXPECT_EQ(exitCode, kExitCodeAfterUsage);
}

UniqueHandle HoldExclusively(const std::string& path)
{
    return UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

TEST(CommandLine, TailsThatNameNoReadableDocumentShowTheUsageMessage)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string document = WriteScratchFile(folder, "doc.loxa", Document("version: 1"));
    ASSERT_FALSE(document.empty());

    ExpectUsageAndMinusOne("");
    ExpectUsageAndMinusOne(folder.path + "missing.loxa");
    // The quotes are part of the name.
    ExpectUsageAndMinusOne("\"" + document + "\"");
    // Switches are upper case only; any other letter is a path.
    ExpectUsageAndMinusOne("/r");
    ExpectUsageAndMinusOne("/u");
    ExpectUsageAndMinusOne("/x");
}

TEST(CommandLine, SwitchesEndWithZeroWhereverTheyStand)
{
    // Registration may show a box of its own; it is answered, and the run
    // still ends with 0.
    for (const char* tail : {"/R", "/U", "abc /U", "C:\\no such folder/Untitled.loxa"}) {
        SCOPED_TRACE(tail);
        LoxaProcess loxa;
        std::vector<MessageBoxView> boxes;
        ASSERT_NO_FATAL_FAILURE(RunAnsweringBoxes(loxa, tail, boxes));
        for (const MessageBoxView& box : boxes) {
            EXPECT_NE(box.text, kUsageText);
        }
    }
}

TEST(DocumentFile, PathWithBlanksIsOpenedAsGiven)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string document =
        WriteScratchFile(folder, "  program  info .loxa", Document("version: 2"));
    ASSERT_FALSE(document.empty());
    // The warning proves that the document was read.
    ExpectWarningThenExitZero(document, IDCANCEL);
}

TEST(DocumentFile, EmptyFileEndsSilentlyWithZero)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string document = WriteScratchFile(folder, "empty.loxa", "");
    ASSERT_FALSE(document.empty());

    ExpectRunWithoutBoxes(document);
}

// The hold ends only when loxa.exe has shown that it gave up; the attempts
// themselves, and a hold that ends between them, are tested in process
// (document_file_test.cpp).
TEST(DocumentFile, FileHeldTooLongGivesTheUsageMessage)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string document = WriteScratchFile(folder, "held.loxa", Document("version: 2"));
    ASSERT_FALSE(document.empty());

    UniqueHandle held = HoldExclusively(document);
    ASSERT_TRUE(held);
    LoxaProcess loxa;
    ASSERT_TRUE(StartLoxa(document, loxa)) << DriverFailure();
    MessageBoxView box;
    ASSERT_TRUE(WaitForMessageBox(loxa.processId, kWaitMs, box)) << DriverFailure();
    held.reset();
    ExpectUsageMessage(box);
    ASSERT_TRUE(PressDialogButton(box.window, IDOK)) << DriverFailure();
    DWORD exitCode = 0;
    ASSERT_TRUE(WaitForExit(loxa, kWaitMs, exitCode)) << DriverFailure();
    EXPECT_EQ(exitCode, kExitCodeAfterUsage);
}
