// The iCalendar plug-in's writer: escaping, folding, dates, the whole file.
// Texts here are UTF-8 (u8 literals), as the plug-in converts before writing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar_event.h"
#include "calendar_text.h"

namespace {

std::string Utf8(const char* text)
{
    return text;
}

// A broadcast at the given times, without texts.
BroadcastEvent Event(int year, int month, int day, int startHour, int startMinute, int endHour,
                     int endMinute)
{
    BroadcastEvent event;
    event.year = year;
    event.month = month;
    event.day = day;
    event.startHour = startHour;
    event.startMinute = startMinute;
    event.endHour = endHour;
    event.endMinute = endMinute;
    return event;
}

} // namespace

TEST(CalendarText, EscapesSpecialCharactersAndLineBreaks)
{
    EXPECT_EQ(EscapeCalendarText("a\\b;c,d"), "a\\\\b\\;c\\,d");
    EXPECT_EQ(EscapeCalendarText("one\r\ntwo\nthree\rfour\r\n"), "one\\ntwo\\nthree\\nfour\\n");
    EXPECT_EQ(EscapeCalendarText(std::string("tab\there\x01\x7F"
                                             ":ok")),
              "tab\there:ok");
    EXPECT_EQ(EscapeCalendarText(Utf8(u8"番組、です")), Utf8(u8"番組、です"));
}

TEST(CalendarText, FoldsAt75OctetsWithoutSplittingCharacters)
{
    EXPECT_EQ(FoldContentLine("SUMMARY:short"), "SUMMARY:short\r\n");
    const std::string exact(75, 'a');
    EXPECT_EQ(FoldContentLine(exact), exact + "\r\n");
    EXPECT_EQ(FoldContentLine(exact + "b"), exact + "\r\n b\r\n");
    // Continuation lines hold 74 octets after their blank.
    const std::string ascii(75 + 74 + 3, 'x');
    EXPECT_EQ(FoldContentLine(ascii),
              std::string(75, 'x') + "\r\n " + std::string(74, 'x') + "\r\n xxx\r\n");

    // "SUMMARY:" is 8 octets, each 番 3: 22 of them reach 74, the 23rd would
    // end at 77, so the first line stops at 74 octets.
    std::string line = "SUMMARY:";
    for (int i = 0; i < 30; ++i) {
        line += u8"番";
    }
    std::string expected = "SUMMARY:";
    for (int i = 0; i < 22; ++i) {
        expected += u8"番";
    }
    expected += "\r\n ";
    for (int i = 0; i < 8; ++i) {
        expected += u8"番";
    }
    expected += "\r\n";
    EXPECT_EQ(FoldContentLine(line), expected);
}

TEST(CalendarEvent, TimesAfterMidnightAreOnTheNextDay)
{
    BroadcastEvent event = Event(2026, 12, 31, 23, 30, 0, 15);
    CalendarDateTime start;
    CalendarDateTime end;
    ASSERT_TRUE(BroadcastTimes(event, start, end));
    EXPECT_EQ((std::vector<int>{start.year, start.month, start.day, start.hour, start.minute}),
              (std::vector<int>{2026, 12, 31, 23, 30}));
    EXPECT_EQ((std::vector<int>{end.year, end.month, end.day, end.hour, end.minute}),
              (std::vector<int>{2027, 1, 1, 0, 15}));

    // Listing hours past 23 belong to the next day; leap day included.
    event = Event(2028, 2, 28, 25, 40, 26, 10);
    ASSERT_TRUE(BroadcastTimes(event, start, end));
    EXPECT_EQ((std::vector<int>{start.month, start.day, start.hour, start.minute}),
              (std::vector<int>{2, 29, 1, 40}));
    EXPECT_EQ((std::vector<int>{end.month, end.day, end.hour, end.minute}),
              (std::vector<int>{2, 29, 2, 10}));

    // Not real dates or times: nothing to write.
    for (const BroadcastEvent& broken :
         {Event(0, 0, 0, 0, 0, 0, 0), Event(2026, 13, 1, 0, 0, 0, 0),
          Event(2027, 2, 29, 0, 0, 0, 0), Event(2026, 1, 1, 21, 60, 22, 0),
          Event(2026, 1, 1, -1, 0, 22, 0), Event(2026, 1, 1, 21, 0, 48, 0)}) {
        std::string calendar = "untouched";
        EXPECT_FALSE(WriteCalendar(broken, CalendarDateTime{}, calendar));
        EXPECT_EQ(calendar, "untouched");
    }
}

TEST(CalendarEvent, WholeFile)
{
    BroadcastEvent event = Event(2026, 12, 7, 21, 0, 21, 54);
    event.station = u8"ＮＨＫ総合";
    event.title = u8"ニュース, 天気";
    event.subtitle = u8"特集";
    event.body = "Line 1\r\nLine 2; end";
    event.alarmMinutes = 10;
    const CalendarDateTime stamp{2026, 12, 6, 3, 4, 5};
    std::string calendar;
    ASSERT_TRUE(WriteCalendar(event, stamp, calendar));

    const std::string uidStart = "UID:loxa-20261207T210000-";
    const std::size_t uid = calendar.find(uidStart);
    ASSERT_NE(uid, std::string::npos);
    const std::size_t uidEnd = calendar.find("\r\n", uid);
    const std::string uidLine = calendar.substr(uid, uidEnd - uid);
    EXPECT_EQ(uidLine.size(), uidStart.size() + 16 + 5);
    EXPECT_EQ(uidLine.substr(uidLine.size() - 5), "@loxa");

    const std::string expected = std::string(
        "BEGIN:VCALENDAR\r\n"
        "VERSION:2.0\r\n"
        "PRODID:-//Loxa//iCalendar plug-in//JA\r\n"
        "CALSCALE:GREGORIAN\r\n"
        "METHOD:PUBLISH\r\n"
        "BEGIN:VEVENT\r\n")
        + uidLine + "\r\n"
        "DTSTAMP:20261206T030405Z\r\n"
        "DTSTART:20261207T210000\r\n"
        "DTEND:20261207T215400\r\n"
        + u8"SUMMARY:ニュース\\, 天気\r\n"
        + u8"LOCATION:ＮＨＫ総合\r\n"
        + u8"DESCRIPTION:特集\\n\\nLine 1\\nLine 2\\; end\r\n"
        "BEGIN:VALARM\r\n"
        "ACTION:DISPLAY\r\n"
        + u8"DESCRIPTION:ニュース\\, 天気\r\n"
        "TRIGGER:-PT10M\r\n"
        "END:VALARM\r\n"
        "END:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    EXPECT_EQ(calendar, expected);

    // The same broadcast written again keeps its identifier; another does not.
    std::string again;
    ASSERT_TRUE(WriteCalendar(event, CalendarDateTime{2027, 1, 1, 0, 0, 0}, again));
    EXPECT_NE(again.find(uidLine), std::string::npos);
    event.station = "BS";
    ASSERT_TRUE(WriteCalendar(event, stamp, again));
    EXPECT_EQ(again.find(uidLine), std::string::npos);
}

TEST(CalendarEvent, WithoutTextsTheSummaryFallsBackAndOptionalLinesAreLeftOut)
{
    BroadcastEvent event = Event(2026, 1, 2, 0, 0, 0, 0);
    std::string calendar;
    ASSERT_TRUE(WriteCalendar(event, CalendarDateTime{}, calendar));
    EXPECT_NE(calendar.find(Utf8(u8"SUMMARY:テレビ番組\r\n")), std::string::npos);
    EXPECT_EQ(calendar.find("LOCATION"), std::string::npos);
    EXPECT_EQ(calendar.find("DESCRIPTION:\r\n"), std::string::npos);
    EXPECT_NE(calendar.find("DTEND:20260102T000000\r\n"), std::string::npos);

    event.station = "BS";
    ASSERT_TRUE(WriteCalendar(event, CalendarDateTime{}, calendar));
    EXPECT_NE(calendar.find("SUMMARY:BS\r\n"), std::string::npos);
}
