#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "reminder/memo_text.h"

namespace {

// The memo field's text after every piece was appended.
std::string MemoOf(const ProgramInfo& info)
{
    MemoPieces pieces;
    ComposeMemoPieces(info, pieces);
    std::string memo;
    for (int i = 0; i < pieces.count; ++i) {
        memo += pieces.parts[i];
    }
    return memo;
}

ProgramInfo FullInfo(char* station, char* title, char* subtitle, char* body)
{
    ProgramInfo info{};
    info.station = station;
    info.month = 4;
    info.day = 1;
    info.startHour = 20;
    info.endHour = 20;
    info.endMinute = 54;
    info.title = title;
    info.subtitle = subtitle;
    info.body = body;
    return info;
}

} // namespace

TEST(MemoText, ComposesTitleStationAndBody)
{
    char a[] = "A";
    char b[] = "B";
    char c[] = "C";
    char x[] = "X";
    EXPECT_EQ(MemoOf(FullInfo(c, a, b, x)),
              "タイトル：A - B - \r\n放送局：C (04/01 20:00 - 20:54)\r\n\r\nX");
    // Without a subtitle the title line ends right after the title.
    EXPECT_EQ(MemoOf(FullInfo(c, a, nullptr, x)),
              "タイトル：A\r\n放送局：C (04/01 20:00 - 20:54)\r\n\r\nX");
    // No body: the station line ends the memo without a line break.
    EXPECT_EQ(MemoOf(FullInfo(c, a, nullptr, nullptr)),
              "タイトル：A\r\n放送局：C (04/01 20:00 - 20:54)");
    // An empty body still brings its separator.
    char empty[] = "";
    EXPECT_EQ(MemoOf(FullInfo(nullptr, a, nullptr, empty)), "タイトル：A\r\n\r\n\r\n");
}

TEST(MemoText, AbsentTitleDropsSubtitleAndItsLineBreak)
{
    char b[] = "B";
    char c[] = "C";
    char x[] = "line 1\r\nline 2";
    EXPECT_EQ(MemoOf(FullInfo(c, nullptr, b, x)),
              "放送局：C (04/01 20:00 - 20:54)\r\n\r\nline 1\r\nline 2");
    EXPECT_EQ(MemoOf(FullInfo(nullptr, nullptr, b, x)), "\r\n\r\nline 1\r\nline 2");
    EXPECT_EQ(MemoOf(FullInfo(nullptr, nullptr, b, nullptr)), "");
}

TEST(MemoText, NumbersAreTwoDigitsOrWhatTheyAre)
{
    char c[] = "ＮＨＫ";
    ProgramInfo info = FullInfo(c, nullptr, nullptr, nullptr);
    info.month = 12;
    info.day = 31;
    info.startHour = 9;
    info.startMinute = 5;
    info.endHour = 123;
    info.endMinute = -7;
    EXPECT_EQ(MemoOf(info), "放送局：ＮＨＫ (12/31 09:05 - 123:-7)");
    info.month = -2147483647 - 1;
    EXPECT_EQ(MemoOf(info), "放送局：ＮＨＫ (-2147483648/31 09:05 - 123:-7)");

    // The formatter on its own, as "%02d" would print.
    const std::pair<std::int32_t, const char*> cases[] = {{0, "00"},
                                                          {7, "07"},
                                                          {10, "10"},
                                                          {-1, "-1"},
                                                          {-10, "-10"},
                                                          {2147483647, "2147483647"},
                                                          {-2147483647 - 1, "-2147483648"}};
    for (const auto& [value, expected] : cases) {
        char text[12];
        FormatTwoDigits(value, text);
        EXPECT_STREQ(text, expected) << value;
    }
}

TEST(MemoText, LongPiecesStayWhole)
{
    std::string title(5000, 'T');
    std::string subtitle(300, 'S');
    std::string station(200, 'C');
    ProgramInfo info = FullInfo(station.data(), title.data(), subtitle.data(), nullptr);
    EXPECT_EQ(MemoOf(info), "タイトル：" + title + " - " + subtitle + " - \r\n放送局：" + station
                                + " (04/01 20:00 - 20:54)");
}
