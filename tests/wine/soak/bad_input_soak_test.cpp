// Bad input end to end under Wine: loxa.exe opens malformed and huge
// documents, shows what the parser reads from them (the version warning
// first when the version is not 1), ends normally with exit code 0, and keeps
// its peak memory within a few times the document's size.
#include <gtest/gtest.h>

#include "reminder/memo_field_limit.h"
#include "soak_documents.h"
#include "soak_run.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1024} * 1024;

// The memo's header lines for a document made with SoakHeader(title).
std::string SoakMemoHeader(const std::string& title)
{
    return "タイトル：" + title + "\r\n放送局：ＮＨＫ総合 (03/01 21:00 - 21:45)\r\n\r\n";
}

} // namespace

// Also keeps kBaseMemoryAllowance honest: a document of a few bytes.
TEST(BadInputSoak, TinyDocument)
{
    SoakDocument(SoakHeader("題") + "本文");
}

TEST(BadInputSoak, OneByte)
{
    SoakDocument("x");
    SoakDocument("\r");
    // The program reads no text at all: no window, exit code 0.
    SoakDocument(std::string(1, '\0'));
}

TEST(BadInputSoak, OnlyCarriageReturns)
{
    SoakDocument(std::string(kMiB, '\r'));
}

// Lines ended by LF alone are no lines to the parser: nothing is read.
TEST(BadInputSoak, NoCarriageReturn)
{
    std::string lfOnly = JapaneseLines(kMiB);
    for (char& byte : lfOnly) {
        if (byte == '\r') {
            byte = ' ';
        }
    }
    SoakDocument("version: 1\nprogram-title: 改行がLFだけ\n\n" + lfOnly);
}

// With NUL bytes the program reads up to the first one; without, the whole
// document reaches the parser, and the memo field gets bytes that are no
// code page 932 characters and lead bytes right at its limit.
TEST(BadInputSoak, RandomBytes)
{
    SoakDocument(RandomBytes(std::size_t{64} * 1024, 1, true));
    SoakDocument(RandomBytes(std::size_t{4} * 1024, 2, false));
    SoakDocument(RandomBytes(kMiB, 3, false));
    SoakDocument(RandomBytes(8 * kMiB, 4, false));
}

TEST(BadInputSoak, HundredThousandHeaderLines)
{
    SoakDocument(ManyHeaderLines(100000) + "\r\n本文\r\n");
}

// The memo field ends with the last whole line within its limit, and the chip
// carries the memo as shown.
TEST(BadInputSoak, HundredMegabyteBody)
{
    const std::string body = JapaneseLines(std::size_t{100} * 1000 * 1000);
    ProgramDataDialogView shown;
    SoakDocument(SoakHeader("大きな本文の番組") + body, SoakEnding::Register, &shown);
    const std::string header = SoakMemoHeader("大きな本文の番組");
    // The last CR within the room starts the cut; the room ends inside a line.
    const std::size_t lineLength = body.find('\n') + 1;
    const std::size_t room = kMemoFieldLimit - header.size();
    ASSERT_NE((room + 2) % lineLength, 0u);
    const std::size_t kept = (room + 2) / lineLength * lineLength - 2;
    EXPECT_TRUE(shown.memo == header + body.substr(0, kept)) << "memo of " << shown.memo.size();
}

// A header line and a body line of 1 MB each. The body's double-byte
// characters start at odd offsets and the room left for it is even: the
// field ends one byte short of its limit rather than inside a character.
TEST(BadInputSoak, MegabyteLines)
{
    const std::string line = JapaneseLine(kMiB);
    ProgramDataDialogView shown;
    SoakDocument(SoakHeader("長い行", "x-note: " + line + "\r\n") + line, SoakEnding::Cancel,
                 &shown);
    const std::string header = SoakMemoHeader("長い行");
    const std::size_t room = kMemoFieldLimit - header.size();
    ASSERT_EQ(room % 2, 0u);
    EXPECT_TRUE(shown.memo == header + line.substr(0, room - 1)) << "memo of " << shown.memo.size();
}

// The title field and the chip's title hold the whole title; the memo field
// holds as much of it as fits.
TEST(BadInputSoak, HundredKilobyteTitle)
{
    const std::string title = JapaneseLine(std::size_t{100} * 1024);
    ProgramDataDialogView shown;
    SoakDocument(SoakHeader(title) + "本文", SoakEnding::Register, &shown);
    EXPECT_TRUE(shown.title == title);
    const std::string start = "タイトル：";
    EXPECT_TRUE(shown.memo == start + title.substr(0, kMemoFieldLimit - start.size() - 1))
        << "memo of " << shown.memo.size();
}
