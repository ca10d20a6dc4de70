// The local calendar date, read through one replaceable function so that
// tests can fix the date a chip is created on.
#pragma once

#include <cstdint>

struct CalendarDate {
    std::int32_t year;
    std::int32_t month; // 1 = January
    std::int32_t day;
};

using LocalDateReader = CalendarDate (*)();

// Today's date from the platform clock (GetLocalTime on Windows).
CalendarDate ReadPlatformLocalDate();

// The date that chips are stamped with; ReadPlatformLocalDate unless a test
// replaced it.
CalendarDate ReadLocalDate();

// Installs `reader` (null restores the platform clock); returns the previous one.
LocalDateReader ReplaceLocalDateReader(LocalDateReader reader);
