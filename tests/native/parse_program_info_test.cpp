#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/keyword_compare.h"
#include "document/parse_program_info.h"

namespace {

// Parses a copy of `text` and keeps the buffer alive with the record.
struct Parsed {
    std::vector<char> buffer;
    ProgramInfo info{};

    explicit Parsed(const std::string& text) : buffer(text.begin(), text.end())
    {
        buffer.push_back('\0');
        EXPECT_TRUE(ParseProgramInfo(info, buffer.data()));
    }
};

// Member by member: the record has padding between its numbers and pointers.
bool IsAllZero(const ProgramInfo& info)
{
    return info.version == 0 && info.station == nullptr && info.year == 0 && info.month == 0
           && info.day == 0 && info.startHour == 0 && info.startMinute == 0 && info.endHour == 0
           && info.endMinute == 0 && info.title == nullptr && info.subtitle == nullptr
           && info.body == nullptr;
}

const std::string kFullDocument =
    "Content-type: application/x-tv-program-info; charset=shift_jis\r\n"
    "version: 1\r\n"
    "station: ＮＨＫ総合\r\n"
    "year: 2026\r\n"
    "month: 12\r\n"
    "date: 24\r\n"
    "start: 21:30\r\n"
    "end: 22:45\r\n"
    "program-title: 聖夜の特集\r\n"
    "program-subtitle: 第１回\r\n"
    "\r\n"
    "一行目\r\n二行目\r\n";

} // namespace

TEST(ParserKeywords, FullDocumentFillsEveryField)
{
    Parsed p(kFullDocument);
    EXPECT_EQ(p.info.version, 1);
    EXPECT_STREQ(p.info.station, "ＮＨＫ総合");
    EXPECT_EQ(p.info.year, 2026);
    EXPECT_EQ(p.info.month, 12);
    EXPECT_EQ(p.info.day, 24);
    EXPECT_EQ(p.info.startHour, 21);
    EXPECT_EQ(p.info.startMinute, 30);
    EXPECT_EQ(p.info.endHour, 22);
    EXPECT_EQ(p.info.endMinute, 45);
    EXPECT_STREQ(p.info.title, "聖夜の特集");
    EXPECT_STREQ(p.info.subtitle, "第１回");
    EXPECT_STREQ(p.info.body, "一行目\r\n二行目");
    // The fields point into the parsed buffer itself: no copies.
    EXPECT_GE(p.info.title, p.buffer.data());
    EXPECT_LT(p.info.title, p.buffer.data() + p.buffer.size());
}

TEST(ParserKeywords, CaseIsIgnoredButPositionAndColonAreNot)
{
    Parsed upper("VERSION: 3\r\nStAtIoN: X\r\nPROGRAM-TITLE: T\r\n\r\n");
    EXPECT_EQ(upper.info.version, 3);
    EXPECT_STREQ(upper.info.station, "X");
    EXPECT_STREQ(upper.info.title, "T");

    Parsed misplaced(" version: 3\r\nversion 4\r\nyear:\r\n");
    EXPECT_EQ(misplaced.info.version, 0);
    EXPECT_EQ(misplaced.info.year, 0);

    // A line shorter than a keyword matches nothing and reads nothing past it.
    Parsed shortLines("ver\r\nprogram-\r\n\r\n");
    EXPECT_EQ(shortLines.info.version, 0);
    EXPECT_EQ(shortLines.info.title, nullptr);
}

// Past the ASCII fast path the system locale decides: code page 932's "㎝"
// equals "CM" with case ignored there, and stays two other bytes elsewhere.
TEST(ParserKeywords, BeyondAsciiTheLocaleDecides)
{
#ifdef _WIN32
    const bool expected = true;
#else
    const bool expected = false;
#endif
    EXPECT_EQ(KeywordMatches("\x87\x70", 2, "CM", 2), expected);
    EXPECT_FALSE(KeywordMatches("\x87\x70", 2, "CN", 2));
}

TEST(ParserKeywords, ProgramSubtitleIsNotMistakenForTitle)
{
    Parsed p("program-subtitle: S\r\n\r\n");
    EXPECT_EQ(p.info.title, nullptr);
    EXPECT_STREQ(p.info.subtitle, "S");
}

TEST(ParserKeywords, LaterLineWins)
{
    Parsed numbers("year: 2025\r\nyear: 2026\r\nmonth: 3\r\nmonth:\r\n\r\n");
    EXPECT_EQ(numbers.info.year, 2026);
    EXPECT_EQ(numbers.info.month, 0); // an empty number still overrides

    Parsed texts(
        "station: A\r\nstation: B\r\ntitle\r\nprogram-title: T\r\nprogram-title:    \r\n\r\n");
    EXPECT_STREQ(texts.info.station, "B");
    EXPECT_STREQ(texts.info.title, "T"); // blanks only keep the earlier value
}

TEST(ParserNumbers, DecimalRules)
{
    EXPECT_EQ(Parsed("version: 1.5\r\n").info.version, 1);
    EXPECT_EQ(Parsed("version: 007\r\n").info.version, 7);
    EXPECT_EQ(Parsed("version: +2\r\n").info.version, 2);
    EXPECT_EQ(Parsed("version: -2\r\n").info.version, -2);
    EXPECT_EQ(Parsed("version:\t 12abc\r\n").info.version, 12);
    // Every white space of the C conversion, vertical tab and form feed too.
    EXPECT_EQ(Parsed("version:\v\f\n 3\r\n").info.version, 3);
    EXPECT_EQ(Parsed("start:\f7:\v45\r\n").info.startMinute, 45);
    EXPECT_EQ(Parsed("version: abc\r\n").info.version, 0);
    EXPECT_EQ(Parsed("version: - 5\r\n").info.version, 0);
    EXPECT_EQ(Parsed("year: 2147483647\r\n").info.year, 2147483647);
    EXPECT_EQ(Parsed("year: 2147483648\r\n").info.year, 2147483647);
    EXPECT_EQ(Parsed("year: 99999999999999999999999\r\n").info.year, 2147483647);
    EXPECT_EQ(Parsed("year: -2147483648\r\n").info.year, INT32_MIN);
    EXPECT_EQ(Parsed("year: -99999999999999999999\r\n").info.year, INT32_MIN);
}

TEST(ParserTimes, HourSeparatorMinute)
{
    Parsed colon("start: 21:30\r\nend: 9.05\r\n");
    EXPECT_EQ(colon.info.startHour, 21);
    EXPECT_EQ(colon.info.startMinute, 30);
    EXPECT_EQ(colon.info.endHour, 9);
    EXPECT_EQ(colon.info.endMinute, 5);

    Parsed blank("start: 7 45\r\n");
    EXPECT_EQ(blank.info.startHour, 7);
    EXPECT_EQ(blank.info.startMinute, 45);

    // No hour digits: the value's first byte is the skipped separator.
    Parsed noHour("start::30\r\nend: :15\r\n");
    EXPECT_EQ(noHour.info.startHour, 0);
    EXPECT_EQ(noHour.info.startMinute, 30);
    EXPECT_EQ(noHour.info.endHour, 0);
    EXPECT_EQ(noHour.info.endMinute, 0); // skips the blank, then reads ":15"
}

TEST(ParserTimes, MissingSeparatorStopsAtEndOfLine)
{
    Parsed p("start: 21\r\n\r\n45\r\n");
    EXPECT_EQ(p.info.startHour, 21);
    EXPECT_EQ(p.info.startMinute, 0);
    EXPECT_STREQ(p.info.body, "45");

    Parsed emptyValue("end:\r\n\r\n");
    EXPECT_EQ(emptyValue.info.endHour, 0);
    EXPECT_EQ(emptyValue.info.endMinute, 0);
}

TEST(ParserTextValues, BlanksTabsAndTrailingBytes)
{
    Parsed p("station:   局 名  \r\nprogram-title:\tTab\r\nprogram-subtitle:\r\n\r\n");
    EXPECT_STREQ(p.info.station, "局 名  ");
    EXPECT_STREQ(p.info.title, "\tTab");
    EXPECT_EQ(p.info.subtitle, nullptr);

    EXPECT_EQ(Parsed("station:    \r\n").info.station, nullptr);
}

TEST(ParserBody, EmptyLineSplitsHeaderFromBody)
{
    Parsed noEmptyLine("version: 1\r\nstation: X\r\n");
    EXPECT_EQ(noEmptyLine.info.version, 1);
    EXPECT_STREQ(noEmptyLine.info.station, "X");
    EXPECT_EQ(noEmptyLine.info.body, nullptr);

    Parsed leadingEmptyLine("\r\nversion: 1\r\nbody");
    EXPECT_EQ(leadingEmptyLine.info.version, 0);
    EXPECT_STREQ(leadingEmptyLine.info.body, "version: 1\r\nbody");

    Parsed endsAtEmptyLine("version: 1\r\n\r\n");
    ASSERT_NE(endsAtEmptyLine.info.body, nullptr);
    EXPECT_STREQ(endsAtEmptyLine.info.body, "");

    // An empty line ended by a CR at the very end: the body is empty, at the
    // text's NUL, not past it.
    Parsed crAtEnd("version: 1\r\n\r");
    ASSERT_NE(crAtEnd.info.body, nullptr);
    EXPECT_EQ(crAtEnd.info.body, crAtEnd.buffer.data() + crAtEnd.buffer.size() - 1);
}

TEST(ParserBody, TrailingLineBreaksAreCutOthersKept)
{
    Parsed p("\r\n  indented\r\n\r\nlast\r\n\r\n\n\r");
    EXPECT_STREQ(p.info.body, "  indented\r\n\r\nlast");

    Parsed onlyBreaks("\r\n\r\n\r\n");
    EXPECT_STREQ(onlyBreaks.info.body, "");

    Parsed headerInBody("version: 1\r\n\r\nstation: X\r\nyear: 1999\r\n");
    EXPECT_EQ(headerInBody.info.station, nullptr);
    EXPECT_EQ(headerInBody.info.year, 0);
}

TEST(ParserLineBreaks, OnlyCrLfCounts)
{
    EXPECT_TRUE(IsAllZero(Parsed("version: 1\nstation: X\n\nbody\n").info));
    EXPECT_TRUE(IsAllZero(Parsed("").info));
    EXPECT_TRUE(IsAllZero(Parsed("version: 1").info)); // a last line without CR is not parsed

    // A lone CR makes the next line lose its first byte.
    Parsed loneCr("version: 1\ryear: 2026\r\nmonth: 5\r\n");
    EXPECT_EQ(loneCr.info.version, 1);
    EXPECT_EQ(loneCr.info.year, 0);
    EXPECT_EQ(loneCr.info.month, 5);
}

TEST(ParserLineBreaks, CrRunsStayInsideTheBuffer)
{
    for (const char* text : {"\r", "\r\r", "\r\r\r", "a\r\r", "a\r\rb", "a\r\r\r\r", "\n\r"}) {
        Parsed p(text);
        if (p.info.body != nullptr) {
            EXPECT_GE(p.info.body, p.buffer.data()) << text;
            EXPECT_LT(p.info.body, p.buffer.data() + p.buffer.size()) << text;
        }
    }
}

TEST(ParserLineBreaks, LineAfterCrCrIsReadBeforeItsOwnCr)
{
    // The next line starts two bytes after a CR, here on the byte after the
    // second CR, and is examined at that second CR, while it still runs on to
    // the end of the text.
    Parsed ended("A\r\rstation: X\r\nyear: 7\r\n");
    ASSERT_NE(ended.info.station, nullptr);
    EXPECT_STREQ(ended.info.station, "X"); // cut later by its own CR
    EXPECT_EQ(ended.info.year, 7);

    Parsed unended("A\r\rstation: X Y");
    ASSERT_NE(unended.info.station, nullptr);
    EXPECT_STREQ(unended.info.station, "X Y");

    // A CR CR at the very end: the line after it is empty, so the body starts.
    Parsed atEnd("version: 1\r\r");
    EXPECT_EQ(atEnd.info.version, 1);
    ASSERT_NE(atEnd.info.body, nullptr);
    EXPECT_STREQ(atEnd.info.body, "");
}
