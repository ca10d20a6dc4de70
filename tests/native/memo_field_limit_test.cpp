#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reminder/memo_field_limit.h"

namespace {

std::size_t Fit(const std::string& text, std::size_t room)
{
    return FitTextToRoom(text.c_str(), room);
}

// The memo field's text after the fitted pieces were appended.
std::string FieldOf(const ProgramInfo& info, std::size_t limit)
{
    MemoPieces pieces;
    ComposeMemoPieces(info, pieces);
    const MemoFieldFit fit = FitMemoField(pieces, limit);
    std::string field;
    for (int i = 0; i < fit.wholeParts; ++i) {
        field += pieces.parts[i];
    }
    if (fit.cutLength > 0) {
        field.append(pieces.parts[fit.wholeParts], fit.cutLength);
    }
    return field;
}

} // namespace

TEST(MemoFieldLimit, TextThatFitsGoesWhole)
{
    EXPECT_EQ(Fit("", 0), 0u);
    EXPECT_EQ(Fit("abc", 3), 3u);
    EXPECT_EQ(Fit("abc", 100), 3u);
    // A lead byte right before the NUL is a character of its own.
    EXPECT_EQ(Fit("ab\x82", 3), 3u);
    EXPECT_EQ(Fit("abc", 0), 0u);
}

TEST(MemoFieldLimit, CutNeverSplitsADoubleByteCharacter)
{
    // "aあい" = 61 82 A0 82 A2: room 2 and 4 end inside a character.
    const std::string text = "a\x82\xA0\x82\xA2";
    EXPECT_EQ(Fit(text, 1), 1u);
    EXPECT_EQ(Fit(text, 2), 1u);
    EXPECT_EQ(Fit(text, 3), 3u);
    EXPECT_EQ(Fit(text, 4), 3u);
    // Both ends of both lead ranges take their trail byte along, even a
    // trail byte that is itself a lead byte value or a line break.
    for (const char lead : {'\x81', '\x9F', '\xE0', '\xFC'}) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(lead)));
        EXPECT_EQ(Fit(std::string(1, lead) + "\x81" + std::string(1, lead) + "\x40zz", 3), 2u);
        EXPECT_EQ(Fit(std::string("x") + lead + "\rzz", 2), 1u);
    }
    // Bytes next to the lead ranges and half-width katakana are single bytes.
    EXPECT_EQ(Fit("\x80\xA0\xA1\xDF\xFD\xFE\xFFzz", 3), 3u);
    // A trail byte in 0x81-0x9F is not taken as the next lead byte: the walk
    // starts at the text's start.
    EXPECT_EQ(Fit("\x88\x9F\x88\x9F\x88", 3), 2u);
    EXPECT_EQ(Fit("\x88\x9F\x88\x9F\x88", 4), 4u);
}

TEST(MemoFieldLimit, CutPrefersTheLastLineBreakInTheSecondHalf)
{
    const std::string lines = "line 1\r\nline 2\r\n\r\nline 3 is longer";
    // Room 20 ends inside line 3: the text ends after line 2, without the
    // empty line and the breaks around it.
    EXPECT_EQ(Fit(lines, 20), 14u);
    // A break right past the room ends the text there.
    EXPECT_EQ(Fit(lines, 14), 14u);
    EXPECT_EQ(Fit(lines, 15), 14u);
    // A break in the first half would lose too much: the cut stays at the room.
    EXPECT_EQ(Fit("ab\r\ncdefghijklmnop", 12), 12u);
    // Bare LF and bare CR are line breaks too.
    EXPECT_EQ(Fit("abcdef\nghijkl", 10), 6u);
    EXPECT_EQ(Fit("abcdef\rghijkl", 10), 6u);
}

TEST(MemoFieldLimit, ReadsNoFurtherThanOnePastTheRoom)
{
    // No NUL: the sanitizer build catches a read past the vector.
    const std::vector<char> bytes = {'a', 'b', 'c', 'd', 'e'};
    EXPECT_EQ(FitTextToRoom(bytes.data(), 4), 4u);
    const std::vector<char> pair = {'a', 'b', 'c', '\x82', '\xA0'};
    EXPECT_EQ(FitTextToRoom(pair.data(), 4), 3u);
}

TEST(MemoFieldLimit, MemoIsCutAcrossItsPieces)
{
    char station[] = "ST";
    char title[] = "TITLE";
    char subtitle[] = "SUB";
    char body[] = "one\r\ntwo\r\nthree";
    ProgramInfo info{};
    info.station = station;
    info.title = title;
    info.subtitle = subtitle;
    info.body = body;
    const std::string whole =
        "タイトル：TITLE - SUB - \r\n放送局：ST (00/00 00:00 - 00:00)\r\n\r\none\r\ntwo\r\nthree";
    EXPECT_EQ(FieldOf(info, 1000), whole);
    EXPECT_EQ(FieldOf(info, whole.size()), whole);
    // The body is cut before its last line.
    EXPECT_EQ(FieldOf(info, whole.size() - 1), whole.substr(0, whole.size() - 7));
    // Cut inside the title: nothing after it, not even its line break.
    EXPECT_EQ(FieldOf(info, 13), "タイトル：TIT");
    // Cut inside "タイトル：" itself, on a character boundary.
    EXPECT_EQ(FieldOf(info, 5), "タイ");
    EXPECT_EQ(FieldOf(info, 0), "");
}

TEST(MemoFieldLimit, LimitKeepsARealDescriptionWhole)
{
    std::string body;
    while (body.size() < std::size_t{8} * 1024) {
        body += "番組の説明文、六十バイトほどの一行を何度も繰り返す。0123456789\r\n";
    }
    std::string title(200, 'T');
    ProgramInfo info{};
    info.title = title.data();
    info.body = body.data();
    EXPECT_EQ(FieldOf(info, kMemoFieldLimit), "タイトル：" + title + "\r\n\r\n\r\n" + body);
}
