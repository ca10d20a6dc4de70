// The parsed program-information document. Plain data, owns nothing: the text
// fields point into the document buffer that was parsed.
#pragma once

#include <cstdint>

struct ProgramInfo {
    std::int32_t version;
    char* station;
    std::int32_t year;
    std::int32_t month;
    std::int32_t day;
    std::int32_t startHour;
    std::int32_t startMinute;
    std::int32_t endHour;
    std::int32_t endMinute;
    char* title;
    char* subtitle;
    char* body;
};
