// When a reminder fires: the start time moved back by the lead time.
#pragma once

#include <cstdint>

inline constexpr std::int32_t kLongestLeadMinutes = 60;

struct NotificationTime {
    std::int32_t month;
    std::int32_t day;
    std::int32_t hour;
    std::int32_t minute;
};

// The lead time brought into 0 to 60 minutes.
std::int32_t ClampLeadMinutes(std::int32_t leadMinutes);

// Subtracts a lead time of 0 to 60 minutes from the start, borrowing one hour,
// one day and one month at most; `year` only decides whether February has 29
// days. Values are not checked otherwise (an hour of 25 passes unchanged). A
// month that lies outside 1 to 12 after stepping back is wrapped into that
// range, so that the month length is always a real one.
NotificationTime SubtractLeadTime(std::int32_t year, std::int32_t month, std::int32_t day,
                                  std::int32_t hour, std::int32_t minute, std::int32_t leadMinutes);
