#include "loxa_reminder/due_time.h"

namespace {

// The notification in `year`: a day the month lacks that year becomes its
// last day first, then an hour of 24 or more moves on to the next day.
LocalMoment DueInYear(const NotifyTime& notify, std::int32_t year)
{
    LocalMoment due;
    due.year = year;
    due.month = notify.month;
    const std::int32_t last = DaysInMonth(year, notify.month);
    due.day = notify.day > last ? last : notify.day;
    due.hour = notify.hour;
    due.minute = notify.minute;
    if (due.hour >= 24) {
        due.hour -= 24;
        if (++due.day > last) {
            due.day = 1;
            if (++due.month > 12) {
                due.month = 1;
                ++due.year;
            }
        }
    }
    return due;
}

// The day before `date` (a calendar date), at its start.
LocalMoment DayBefore(const LocalMoment& date)
{
    LocalMoment before{date.year, date.month, date.day - 1};
    if (before.day < 1) {
        if (--before.month < 1) {
            before.month = 12;
            --before.year;
        }
        before.day = DaysInMonth(before.year, before.month);
    }
    return before;
}

bool IsBeforeDate(const LocalMoment& moment, const LocalMoment& date)
{
    if (moment.year != date.year) {
        return moment.year < date.year;
    }
    if (moment.month != date.month) {
        return moment.month < date.month;
    }
    return moment.day < date.day;
}

} // namespace

LocalMoment ComputeDueTime(const NotifyTime& notify, const LocalMoment& base)
{
    const LocalMoment earliest = DayBefore(base);
    // The year before counts too: a carried hour or the day before can make
    // last year's notification fall on the creation date or the day before.
    for (std::int32_t year = base.year - 1; year < base.year + 1; ++year) {
        const LocalMoment due = DueInYear(notify, year);
        if (!IsBeforeDate(due, earliest)) {
            return due;
        }
    }
    return DueInYear(notify, base.year + 1);
}

LocalMoment DueTimeOfChip(const ChipView& chip, const LocalMoment& received)
{
    const NotifyTime notify{chip.notifyMonth, chip.notifyDay, chip.notifyHour, chip.notifyMinute};
    LocalMoment base;
    if (IsCalendarDate(chip.createdYear, chip.createdMonth, chip.createdDay)) {
        base.year = chip.createdYear;
        base.month = chip.createdMonth;
        base.day = chip.createdDay;
    } else {
        base.year = received.year;
        base.month = received.month;
        base.day = received.day;
    }
    return ComputeDueTime(notify, base);
}
