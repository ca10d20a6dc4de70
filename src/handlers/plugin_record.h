// The PluginProgramRecord: the self-contained block a plug-in receives. A
// 56-byte header of little-endian 32-bit fields, then the present strings,
// each with its NUL, located by byte offsets from the record's start.
#pragma once

#include <cstdint>

#include "document/program_info.h"

namespace PluginRecordLayout {
inline constexpr std::int32_t kHeaderSize = 56;
inline constexpr std::int32_t kRecordVersion = 256;
inline constexpr int kSizeOffset = 0;
inline constexpr int kRecordVersionOffset = 4;
inline constexpr int kVersionOffset = 8;
inline constexpr int kYearOffset = 12;
inline constexpr int kMonthOffset = 16;
inline constexpr int kDayOffset = 20;
inline constexpr int kStartHourOffset = 24;
inline constexpr int kStartMinuteOffset = 28;
inline constexpr int kEndHourOffset = 32;
inline constexpr int kEndMinuteOffset = 36;
inline constexpr int kStationOffsetOffset = 40;
inline constexpr int kTitleOffsetOffset = 44;
inline constexpr int kSubtitleOffsetOffset = 48;
inline constexpr int kBodyOffsetOffset = 52;
} // namespace PluginRecordLayout

// Returns the record's size. Writes the record only when `buffer` is non-null
// and `capacity` >= size, after zero-filling all `capacity` bytes; otherwise
// writes nothing, so a null buffer asks for the size. When the strings would
// make the record larger than a 32-bit size can say, returns -1 and writes
// nothing.
std::int32_t BuildPluginRecord(const ProgramInfo& info, void* buffer, std::int32_t capacity);
