// The calendar file that the iCalendar plug-in writes for one broadcast: a
// VCALENDAR with one VEVENT and a display alarm. Platform-free; texts UTF-8.
#pragma once

#include <string>

struct BroadcastEvent {
    int year = 0;
    int month = 0;
    int day = 0;
    int startHour = 0; // may run past 23 ("25:30" is 1:30 the next day)
    int startMinute = 0;
    int endHour = 0; // an end before the start is on the next day
    int endMinute = 0;
    std::string station; // texts may be empty
    std::string title;
    std::string subtitle;
    std::string body;
    int alarmMinutes = 5; // how long before the start the alarm fires
};

struct CalendarDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The start and end as calendar date and time; false when the date or a time
// is not a real one (month 13, minute 60, year 0...).
bool BroadcastTimes(const BroadcastEvent& event, CalendarDateTime& start, CalendarDateTime& end);

// The whole file, CR LF lines, folded. `stampUtc` is the time of writing in
// UTC. False, with nothing written to `calendar`, when the times are invalid.
bool WriteCalendar(const BroadcastEvent& event, const CalendarDateTime& stampUtc,
                   std::string& calendar);
