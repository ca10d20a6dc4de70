#include "reminder/notification_time.h"

#include "chip/month_length.h"

namespace {

// Fields come from the dialog as any 32-bit value; stepping them must not
// overflow, so the arithmetic runs in 64 bits and wraps back like the
// platform's own 32-bit arithmetic would.
std::int32_t Wrap(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

} // namespace

std::int32_t ClampLeadMinutes(std::int32_t leadMinutes)
{
    if (leadMinutes > kLongestLeadMinutes) {
        return kLongestLeadMinutes;
    }
    if (leadMinutes < 0) {
        return 0;
    }
    return leadMinutes;
}

NotificationTime SubtractLeadTime(std::int32_t year, std::int32_t month, std::int32_t day,
                                  std::int32_t hour, std::int32_t minute, std::int32_t leadMinutes)
{
    NotificationTime time{month, day, hour, minute};
    std::int64_t newMinute = static_cast<std::int64_t>(minute) - ClampLeadMinutes(leadMinutes);
    if (newMinute >= 0) {
        time.minute = Wrap(newMinute);
        return time;
    }
    time.minute = Wrap(newMinute + 60);

    const std::int64_t newHour = static_cast<std::int64_t>(hour) - 1;
    if (newHour >= 0) {
        time.hour = Wrap(newHour);
        return time;
    }
    time.hour = Wrap(newHour + 24);

    const std::int64_t newDay = static_cast<std::int64_t>(day) - 1;
    if (newDay > 0) {
        time.day = Wrap(newDay);
        return time;
    }

    // January steps back to December; a month outside 1 to 12 from a faulty
    // document is wrapped the same way rather than reading past the table.
    std::int64_t newMonth = static_cast<std::int64_t>(month) - 1;
    if (newMonth < 1) {
        newMonth += 12;
    }
    if (newMonth < 1 || newMonth > 12) {
        newMonth = (newMonth - 1) % 12;
        if (newMonth < 0) {
            newMonth += 12;
        }
        newMonth += 1;
    }
    time.month = static_cast<std::int32_t>(newMonth);
    const std::int32_t length = DaysInMonth(year, time.month);
    time.day = Wrap(newDay + length);
    return time;
}
