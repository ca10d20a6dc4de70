// A moment of the local clock to the minute (seconds where the clock gives
// them), and the day arithmetic the reminders need. Platform-free.
#pragma once

#include <cstdint>

#include "chip/month_length.h"

struct LocalMoment {
    std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// A real date of the years Windows' clock covers (1601-30827).
bool IsCalendarDate(std::int32_t year, std::int32_t month, std::int32_t day);

// Seconds from 1 January 1601 00:00:00 to the moment, in the proleptic
// Gregorian calendar; for ordering moments and measuring between them.
std::int64_t SecondsSince1601(const LocalMoment& moment);
