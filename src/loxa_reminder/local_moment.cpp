#include "loxa_reminder/local_moment.h"

bool IsLeapYear(std::int32_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month)
{
    constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

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
