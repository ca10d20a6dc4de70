// The chip: the binary reminder entry poked to the reminder application. A
// flat block of 32-bit little-endian fields and string offsets (208 bytes),
// then the title, the memo text and the source address, each NUL-terminated.
#pragma once

#include <cstddef>
#include <cstdint>

// The program-guide site named in every chip.
inline constexpr char SourceAddress[] = "http://tvguide.example.jp";
static_assert(sizeof SourceAddress - 1 == 25);

inline constexpr std::uint32_t kChipFixedPartSize = 208;

// Field offsets of the fixed part.
namespace chip_offset {
inline constexpr std::size_t size = 0;
inline constexpr std::size_t formatName = 4;
inline constexpr std::size_t titleOffset = 92;
inline constexpr std::size_t memoOffset = 96;
inline constexpr std::size_t sourceOffset = 124;
inline constexpr std::size_t notifyMonth = 164;
inline constexpr std::size_t notifyDay = 168;
inline constexpr std::size_t notifyHour = 172;
inline constexpr std::size_t notifyMinute = 176;
inline constexpr std::size_t createdYear = 196;
inline constexpr std::size_t createdMonth = 200;
inline constexpr std::size_t createdDay = 204;
} // namespace chip_offset

static_assert(chip_offset::createdDay + 4 == kChipFixedPartSize);
static_assert(chip_offset::titleOffset % 4 == 0 && chip_offset::memoOffset % 4 == 0);
static_assert(chip_offset::sourceOffset % 4 == 0 && chip_offset::notifyMonth % 4 == 0);

// Bytes a chip for these texts needs; an absent (null) text counts as empty.
std::uint32_t GetChipRecordSize(const char* title, const char* memo);

// Writes a chip into the zero-filled `buffer` of `bufferSize` bytes and
// returns the required size. A buffer smaller than that is left untouched,
// so a first call with size 0 asks for the size. The creation date is the
// local date at the time of the call (see local_date.h).
std::uint32_t FillChipRecord(void* buffer, std::uint32_t bufferSize, const char* title,
                             const char* memo, std::int32_t notifyMonth, std::int32_t notifyDay,
                             std::int32_t notifyHour, std::int32_t notifyMinute);
