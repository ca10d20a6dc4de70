// When a chip's reminder is due. The chip carries the notification time as
// month, day, hour and minute, without a year, and the date it was made.
#pragma once

#include "chip/read_chip.h"
#include "loxa_reminder/local_moment.h"

struct NotifyTime {
    // Already checked: 1-12, 1-31, 0-47 (24 and later fall on the next day),
    // 0-59.
    std::int32_t month = 0, day = 0, hour = 0, minute = 0;
};

// The first moment on or after the start of the day before `base` (the
// chip's creation date) with the notification's month, day, hour and minute,
// in the year before, of or after the creation date's year. So a
// notification on the day before the creation date (a 00:10 program with a
// 30-minute lead registered at 00:05 notifies at 23:40 of the day before) is
// this year's and due at once, late, while one two days before is next
// year's: a program on 1 January registered on 31 December is due next
// year. A day the month lacks in that year (29 February outside leap years,
// 31 April) falls on the month's last day at the same time, so no reminder
// waits years or never comes; after that an hour of 24 to 47 moves to the
// next day ("25:00" on 31 December is 1 January 01:00). `base` must be a
// calendar date.
LocalMoment ComputeDueTime(const NotifyTime& notify, const LocalMoment& base);

// A kept chip's due time: from its creation date, or from the day it was
// received when the sender's creation date is no calendar date.
LocalMoment DueTimeOfChip(const ChipView& chip, const LocalMoment& received);
