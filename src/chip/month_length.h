// The Gregorian calendar's leap years and month lengths, for the notification
// time loxa.exe steps back and for the due times a receiver works out.
#pragma once

#include <cstdint>

constexpr bool IsLeapYear(std::int32_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// 28 to 31; 0 for a month outside 1-12.
constexpr std::int32_t DaysInMonth(std::int32_t year, std::int32_t month)
{
    constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}
