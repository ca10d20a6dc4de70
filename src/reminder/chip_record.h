// The chip: the binary reminder entry poked to the reminder application, laid
// out as chip/chip_layout.h says.
#pragma once

#include <cstdint>

#include "chip/chip_layout.h"

// The program-guide site named in every chip.
inline constexpr char SourceAddress[] = "http://tvguide.example.jp";
static_assert(sizeof SourceAddress - 1 == 25);

// Bytes a chip for these texts needs; an absent (null) text counts as empty.
std::uint32_t GetChipRecordSize(const char* title, const char* memo);

// Writes a chip into the zero-filled `buffer` of `bufferSize` bytes and
// returns the required size. A buffer smaller than that is left untouched,
// so a first call with size 0 asks for the size. The creation date is the
// local date at the time of the call (see local_date.h).
std::uint32_t FillChipRecord(void* buffer, std::uint32_t bufferSize, const char* title,
                             const char* memo, std::int32_t notifyMonth, std::int32_t notifyDay,
                             std::int32_t notifyHour, std::int32_t notifyMinute);
