// Bad input end to end under Wine: loxa.exe opens malformed and huge
// documents, shows what the parser reads from them (the version warning
// first when the version is not 1), ends normally with exit code 0, and keeps
// its peak memory within a few times the document's size. What each document
// must show is worked out here by hand from how it was made.
#include <gtest/gtest.h>

#include "soak_documents.h"
#include "soak_run.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1024} * 1024;
// The memo field's limit in bytes, written out: 32 KiB.
constexpr std::size_t kMemoLimit = 32768;

// The memo's header lines for a document made with SoakHeader(title).
std::string SoakMemoHeader(const std::string& title)
{
    return "タイトル：" + title + "\r\n放送局：ＮＨＫ総合 (03/01 21:00 - 21:45)\r\n\r\n";
}

} // namespace

// Also keeps kBaseMemoryAllowance honest: a document of a few bytes.
TEST(BadInputSoak, TinyDocument)
{
    SoakDocument(SoakHeader("題") + "本文", SoakHeaderFields("題", SoakMemoHeader("題") + "本文"));
}

TEST(BadInputSoak, OneByte)
{
    // No CR: not a single line is read.
    SoakDocument("x", NothingReadFields(""));
    // The empty line at once: an empty body, and the memo has its two line
    // breaks before it.
    SoakDocument("\r", NothingReadFields("\r\n\r\n"));
    // The program reads no text at all: no window, exit code 0.
    SoakExpectation nothing;
    nothing.showsDialog = false;
    SoakDocument(std::string(1, '\0'), nothing);
}

// The first CR is the empty line; the rest is a body of line breaks only,
// which the parser trims away.
TEST(BadInputSoak, OnlyCarriageReturns)
{
    SoakDocument(std::string(kMiB, '\r'), NothingReadFields("\r\n\r\n"));
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
    SoakDocument("version: 1\nprogram-title: 改行がLFだけ\n\n" + lfOnly, NothingReadFields(""));
}

// With NUL bytes the program reads up to the first one; without, the whole
// document reaches the parser, and the memo field gets bytes that are no
// code page 932 characters and lead bytes right at its limit. Random lines
// begin with no keyword, so every number stays 0 and the version warning
// comes first; what the title and memo show of random bytes is not checked.
TEST(BadInputSoak, RandomBytes)
{
    SoakExpectation random = NothingReadFields("");
    random.checkTexts = false;
    const std::string withNul = RandomBytes(std::size_t{64} * 1024, 1, true);
    ASSERT_NE(withNul[0], '\0'); // the first NUL comes later: a text is read
    SoakDocument(withNul, random);
    SoakDocument(RandomBytes(std::size_t{4} * 1024, 2, false), random);
    SoakDocument(RandomBytes(kMiB, 3, false), random);
    SoakDocument(RandomBytes(8 * kMiB, 4, false), random);
}

// The lines i = 0 .. 99994 cycle through twelve keys (i % 12), each valued
// "<i>番"; the last line of each key wins. Station (2): 99986; start (6):
// 99990, whose minute is the 0 after the skipped byte; end (7): 99991;
// subtitle (9): 99993. Version, date and title come from the five last lines.
TEST(BadInputSoak, HundredThousandHeaderLines)
{
    SoakExpectation expected =
        SoakHeaderFields("最後の題",
                         "タイトル：最後の題 - 99993番 - \r\n"
                         "放送局：99986番 (03/01 99990:00 - 99991:00)\r\n\r\n本文");
    expected.fields.startHour = "99990";
    SoakDocument(ManyHeaderLines(100000) + "\r\n本文\r\n", expected);
}

// The memo field ends with the last whole line within its limit, and the chip
// carries the memo as shown. Each body line is 64 bytes with its CR LF.
TEST(BadInputSoak, HundredMegabyteBody)
{
    const std::string body = JapaneseLines(std::size_t{100} * 1000 * 1000);
    const std::string header = SoakMemoHeader("大きな本文の番組");
    // The room left for the body ends inside a line; the cut falls before
    // the CR LF of the last whole line within it.
    const std::size_t room = kMemoLimit - header.size();
    ASSERT_NE((room + 2) % 64, 0u);
    const std::size_t kept = (room + 2) / 64 * 64 - 2;
    SoakDocument(SoakHeader("大きな本文の番組") + body,
                 SoakHeaderFields("大きな本文の番組", header + body.substr(0, kept)),
                 SoakEnding::Register);
}

// A header line and a body line of 1 MB each. The body's double-byte
// characters start at odd offsets and the room left for it is even: the
// field ends one byte short of its limit rather than inside a character.
TEST(BadInputSoak, MegabyteLines)
{
    const std::string line = JapaneseLine(kMiB);
    const std::string header = SoakMemoHeader("長い行");
    const std::size_t room = kMemoLimit - header.size();
    ASSERT_EQ(room % 2, 0u);
    SoakDocument(SoakHeader("長い行", "x-note: " + line + "\r\n") + line,
                 SoakHeaderFields("長い行", header + line.substr(0, room - 1)));
}

// The title field and the chip's title hold the whole title; the memo field
// holds as much of it as fits: after "タイトル：" (10 bytes) and the odd
// first byte of the title, a double-byte character would end past the limit.
TEST(BadInputSoak, HundredKilobyteTitle)
{
    const std::string title = JapaneseLine(std::size_t{100} * 1024);
    const std::string start = "タイトル：";
    SoakDocument(SoakHeader(title) + "本文",
                 SoakHeaderFields(title, start + title.substr(0, kMemoLimit - start.size() - 1)),
                 SoakEnding::Register);
}
