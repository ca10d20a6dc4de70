#include "loxa_reminder/local_moment.h"

bool IsCalendarDate(std::int32_t year, std::int32_t month, std::int32_t day)
{
    return year >= 1601 && year <= 30827 && day >= 1 && day <= DaysInMonth(year, month);
}

std::int64_t SecondsSince1601(const LocalMoment& moment)
{
    // Days before the year, then before the month, then before the day.
    const std::int64_t y = moment.year - 1601;
    std::int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (std::int32_t m = 1; m < moment.month && m <= 12; ++m) {
        days += DaysInMonth(moment.year, m);
    }
    days += moment.day - 1;
    return ((days * 24 + moment.hour) * 60 + moment.minute) * 60 + moment.second;
}
