// How long the one timer sleeps. Due times are wall-clock times, but a timer
// counts elapsed time: when the clock jumps at a daylight-saving change (which
// Windows need not announce), a long sleep would wake an hour off. So the
// timer never sleeps past the next full hour of the clock, and a reminder
// due inside a skipped hour is shown as that hour ends. Platform-free.
#pragma once

#include <cstdint>

#include "loxa_reminder/local_moment.h"

// Seconds from `now` until the timer should look again for the earliest
// due time `earliestDue` (SecondsSince1601): at the due time, but no later
// than one second past the next full hour; 0 when it is due already.
std::int64_t SecondsUntilNextLook(const LocalMoment& now, std::int64_t earliestDue);
