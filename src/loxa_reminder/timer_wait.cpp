#include "loxa_reminder/timer_wait.h"

#include <algorithm>

std::int64_t SecondsUntilNextLook(const LocalMoment& now, std::int64_t earliestDue)
{
    const std::int64_t untilDue = earliestDue - SecondsSince1601(now);
    // The second after the hour, so that the clock reads the new hour.
    const std::int64_t pastTheHour = 3600 - (now.minute * 60 + now.second) + 1;
    return std::clamp<std::int64_t>(untilDue, 0, pastTheHour);
}
