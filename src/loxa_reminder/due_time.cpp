#include "loxa_reminder/due_time.h"

namespace {

LocalMoment DueInYear(const NotifyTime& notify, std::int32_t year)
{
    LocalMoment due;
    due.year = year;
    due.month = notify.month;
    const std::int32_t last = DaysInMonth(year, notify.month);
    due.day = notify.day > last ? last : notify.day;
    due.hour = notify.hour;
    due.minute = notify.minute;
    return due;
}

bool IsBeforeDate(const LocalMoment& moment, const LocalMoment& date)
{
    if (moment.month != date.month) {
        return moment.month < date.month;
    }
    return moment.day < date.day;
}

} // namespace

LocalMoment ComputeDueTime(const NotifyTime& notify, const LocalMoment& base)
{
    const LocalMoment thisYear = DueInYear(notify, base.year);
    return IsBeforeDate(thisYear, base) ? DueInYear(notify, base.year + 1) : thisYear;
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
