#include "calendar_event.h"

#include <cstdint>
#include <cstdio>

#include "calendar_text.h"

namespace {

constexpr long long kMinutesPerDay = 24LL * 60;

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil calendar algorithms).
long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

CalendarDateTime CivilFromMinutes(long long minutes)
{
    long long days = minutes / kMinutesPerDay;
    const long long minuteOfDay = minutes % kMinutesPerDay;
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    CalendarDateTime result;
    result.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    result.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    result.year =
        static_cast<int>(static_cast<long long>(yearOfEra) + era * 400 + (result.month <= 2));
    result.hour = static_cast<int>(minuteOfDay / 60);
    result.minute = static_cast<int>(minuteOfDay % 60);
    return result;
}

// Listings write times after midnight as 24:00 to 47:59.
bool IsListingTime(int hour, int minute)
{
    return hour >= 0 && hour < 48 && minute >= 0 && minute < 60;
}

std::string FormatLocal(const CalendarDateTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

std::string ContentLine(const char* name, const std::string& value)
{
    return FoldContentLine(std::string(name) + ':' + value);
}

// Same broadcast, same identifier: adding it again updates the event.
std::string EventUid(const BroadcastEvent& event, const CalendarDateTime& start)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::string* text : {&event.station, &event.title}) {
        for (const char c : *text) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    }
    char tail[40];
    std::snprintf(tail, sizeof tail, "-%016llx@loxa", static_cast<unsigned long long>(hash));
    return "loxa-" + FormatLocal(start) + tail;
}

} // namespace

bool BroadcastTimes(const BroadcastEvent& event, CalendarDateTime& start, CalendarDateTime& end)
{
    if (event.year < 1 || event.year > 9999 || event.month < 1 || event.month > 12 || event.day < 1
        || event.day > DaysInMonth(event.year, event.month)
        || !IsListingTime(event.startHour, event.startMinute)
        || !IsListingTime(event.endHour, event.endMinute)) {
        return false;
    }
    const long long midnight = DaysFromCivil(event.year, static_cast<unsigned>(event.month),
                                             static_cast<unsigned>(event.day))
                               * kMinutesPerDay;
    const long long startOfDay = event.startHour * 60LL + event.startMinute;
    long long endOfDay = event.endHour * 60LL + event.endMinute;
    // "23:30 - 0:15" ends on the next day.
    while (endOfDay < startOfDay) {
        endOfDay += kMinutesPerDay;
    }
    start = CivilFromMinutes(midnight + startOfDay);
    end = CivilFromMinutes(midnight + endOfDay);
    return start.year <= 9999 && end.year <= 9999;
}

bool WriteCalendar(const BroadcastEvent& event, const CalendarDateTime& stampUtc,
                   std::string& calendar)
{
    CalendarDateTime start;
    CalendarDateTime end;
    if (!BroadcastTimes(event, start, end)) {
        return false;
    }
    const std::string summary = EscapeCalendarText(!event.title.empty()     ? event.title
                                                   : !event.station.empty() ? event.station
                                                                            : u8"テレビ番組");
    std::string description = event.subtitle;
    if (!event.body.empty()) {
        description += description.empty() ? event.body : "\n\n" + event.body;
    }
    char trigger[32];
    std::snprintf(trigger, sizeof trigger, "-PT%dM",
                  event.alarmMinutes > 0 ? event.alarmMinutes : 0);

    std::string text;
    text += ContentLine("BEGIN", "VCALENDAR");
    text += ContentLine("VERSION", "2.0");
    text += ContentLine("PRODID", "-//Loxa//iCalendar plug-in//JA");
    text += ContentLine("CALSCALE", "GREGORIAN");
    text += ContentLine("METHOD", "PUBLISH");
    text += ContentLine("BEGIN", "VEVENT");
    text += ContentLine("UID", EventUid(event, start));
    text += ContentLine("DTSTAMP", FormatLocal(stampUtc) + 'Z');
    text += ContentLine("DTSTART", FormatLocal(start));
    text += ContentLine("DTEND", FormatLocal(end));
    text += ContentLine("SUMMARY", summary);
    if (!event.station.empty()) {
        text += ContentLine("LOCATION", EscapeCalendarText(event.station));
    }
    if (!description.empty()) {
        text += ContentLine("DESCRIPTION", EscapeCalendarText(description));
    }
    text += ContentLine("BEGIN", "VALARM");
    text += ContentLine("ACTION", "DISPLAY");
    text += ContentLine("DESCRIPTION", summary);
    text += ContentLine("TRIGGER", trigger);
    text += ContentLine("END", "VALARM");
    text += ContentLine("END", "VEVENT");
    text += ContentLine("END", "VCALENDAR");
    calendar = text;
    return true;
}
