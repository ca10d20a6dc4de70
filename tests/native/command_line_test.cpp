#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(SwitchScan, FindsTheFirstUpperCaseSwitchAnywhere)
{
    EXPECT_EQ(ScanCommandSwitch("/R"), CommandSwitch::Register);
    EXPECT_EQ(ScanCommandSwitch("/U"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("some text /U"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("/U /R"), CommandSwitch::Unregister);
    EXPECT_EQ(ScanCommandSwitch("x/Rabc/U"), CommandSwitch::Register);
    EXPECT_EQ(ScanCommandSwitch("C:/docs/Recorded.loxa"), CommandSwitch::Register);
}

TEST(SwitchScan, OtherBytesAreNoSwitch)
{
    EXPECT_EQ(ScanCommandSwitch("/r"), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch("/u"), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch("/X"), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch("/"), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch("C:\\Recorded\\U.loxa"), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch(""), CommandSwitch::None);
    EXPECT_EQ(ScanCommandSwitch(nullptr), CommandSwitch::None);
}

// "/S" or "/s" between blanks or before the end, after the switch.
TEST(SwitchScan, QuietFormFollowsTheSwitch)
{
    for (const char* tail : {"/R /S", "/U /s", "/U\t/S", "/R /S /X", "x/Rabc  /S", "/U a /S"}) {
        EXPECT_TRUE(HasQuietSwitch(tail)) << tail;
    }
    for (const char* tail : {"/R", "/R/S", "/U a/S", "/Rx/S", "/R /Sx", "/R /S/", "/S /R", "/r /S",
                             "/U -S", "/U /T", "C:\\a /S", ""}) {
        EXPECT_FALSE(HasQuietSwitch(tail)) << tail;
    }
    EXPECT_FALSE(HasQuietSwitch(nullptr));
}

TEST(ProgramName, QuotedNameRunsToItsClosingQuote)
{
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\loxa.exe\" C:\\a b.loxa"), "C:\\a b.loxa");
    EXPECT_STREQ(SkipProgramName("\"C:\\loxa.exe\""), "");
    EXPECT_STREQ(SkipProgramName("\"C:\\loxa.exe\"doc.loxa"), "doc.loxa");
    EXPECT_STREQ(SkipProgramName("\"C:\\unterminated"), "");
    // A double-byte character whose trail byte is a backslash (表 is 95 5C).
    EXPECT_STREQ(SkipProgramName("\"C:\\\x95\\loxa.exe\" x"), "x");
    // Inside quotes a lead byte steps over its trail byte, even a quote.
    EXPECT_STREQ(SkipProgramName("\"C:\\\x81\"loxa.exe\" x"), "x");
}

TEST(ProgramName, UnquotedNameRunsToFirstControlOrBlank)
{
    EXPECT_STREQ(SkipProgramName("C:\\LOXA~1\\loxa.exe C:\\a b.loxa  "), "C:\\a b.loxa  ");
    EXPECT_STREQ(SkipProgramName("loxa.exe \t\x01\x1f \"q.loxa\""), "\"q.loxa\"");
    EXPECT_STREQ(SkipProgramName("C:\\\x83\x5e\x83\x43\\loxa.exe /R"), "/R");
    EXPECT_STREQ(SkipProgramName("loxa.exe"), "");
    EXPECT_STREQ(SkipProgramName(""), "");
}

// The wide rule, where every character is whole.
TEST(ProgramName, WideNameFollowsTheSameRule)
{
    EXPECT_STREQ(SkipWideProgramName(L"\"C:\\TV Tools\\loxa.exe\"\t C:\\\u301c a.loxa "),
                 L"C:\\\u301c a.loxa ");
    EXPECT_STREQ(SkipWideProgramName(L"\"C:\\unterminated"), L"");
    EXPECT_STREQ(SkipWideProgramName(L"C:\\LOXA~1\\loxa.exe \x01 C:\\\u301c.loxa"),
                 L"C:\\\u301c.loxa");
    EXPECT_STREQ(SkipWideProgramName(nullptr), L"");
}
