// The version warning of loxa.exe's built-in road, end to end under Wine.
#include "end_to_end_support.h"

namespace {

// The warning as code page 932 bytes, written by hand.
const std::string kVersionWarningBytes =
    "\x94\xD4\x91\x67\x83\x66\x81\x5B\x83\x5E\x82\xCC\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x82"
    "\xAA\x95\xCF\x82\xED\x82\xC1\x82\xC4\x82\xB5\x82\xDC\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7"
    "\x81\x42\x0A\x90\xB3\x8F\xED\x82\xC9\x95\x5C\x8E\xA6\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x82\xA9"
    "\x82\xE0\x82\xB5\x82\xEA\x83\x7D\x83\x5A\x83\x93\x81\x42\x0A\x8F\x88\x97\x9D\x82\xF0\x8C\x70"
    "\x91\xB1\x82\xB5\x82\xDC\x82\xB7\x82\xA9";

} // namespace

TEST(VersionWarning, ExpectedTextIsCodePage932)
{
    EXPECT_EQ(kVersionWarningText, kVersionWarningBytes);
}

TEST(VersionWarning, ShownForVersionsOtherThanOneAndEitherAnswerEndsWithZero)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string noVersion = WriteScratchFile(folder, "v0.loxa", Document(""));
    const std::string version2 = WriteScratchFile(folder, "v2.loxa", Document("version: 2"));
    ASSERT_FALSE(noVersion.empty());
    ASSERT_FALSE(version2.empty());

    for (const std::string& document : {noVersion, version2}) {
        for (int answer : {IDOK, IDCANCEL}) {
            SCOPED_TRACE(document + (answer == IDOK ? " OK" : " Cancel"));
            ExpectWarningThenExitZero(document, answer);
        }
    }
}

TEST(VersionWarning, NotShownForVersionOne)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    const std::string document = WriteScratchFile(folder, "v1.loxa", Document("version: 1"));
    ASSERT_FALSE(document.empty());

    // Whatever dialog follows is cancelled; no message box may appear.
    LoxaProcess loxa;
    std::vector<MessageBoxView> boxes;
    ASSERT_NO_FATAL_FAILURE(RunAnsweringBoxes(loxa, document, boxes));
    EXPECT_TRUE(boxes.empty());
    for (const std::string& event : ReadProbeEvents(loxa)) {
        EXPECT_NE(event.rfind("box ", 0), 0u) << event;
    }
}

TEST(VersionWarning, ShownForTextsWithoutAVersion)
{
    ScratchFolder folder;
    ASSERT_TRUE(CreateTestFolder(folder));
    // Only the text before the first NUL counts: the version line after it is
    // never seen.
    const char withNul[] = "station: NHK\r\n\0version: 1\r\n\r\nbody\r\n";
    const std::string truncated =
        WriteScratchFile(folder, "with-nul-byte.loxa", std::string(withNul, sizeof withNul - 1));
    // Not one recognised line.
    const std::string unrecognised =
        WriteScratchFile(folder, "prose.loxa", "Dear viewer,\r\n version: 1\r\nversion 1\r\n");
    ASSERT_FALSE(truncated.empty());
    ASSERT_FALSE(unrecognised.empty());

    ExpectWarningThenExitZero(truncated, IDCANCEL);
    ExpectWarningThenExitZero(unrecognised, IDCANCEL);
}
