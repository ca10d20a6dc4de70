// The chip's layout, as loxa.exe writes it and every receiver reads it: a
// flat block of 32-bit little-endian fields and string offsets (208 bytes),
// then the title, the memo text and the source address, each NUL-terminated.
#pragma once

#include <cstddef>
#include <cstdint>

// The name of the clipboard format of chip data; it also heads every chip.
inline constexpr char kChipClipboardFormatName[] = "ZuriNoteChipData100";
static_assert(sizeof kChipClipboardFormatName == 20);

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

// The room of the format name: the name, its NUL and zero padding.
inline constexpr std::size_t kChipFormatNameField = 68;

static_assert(chip_offset::formatName + kChipFormatNameField == 72);
static_assert(chip_offset::createdDay + 4 == kChipFixedPartSize);
static_assert(chip_offset::titleOffset % 4 == 0 && chip_offset::memoOffset % 4 == 0);
static_assert(chip_offset::sourceOffset % 4 == 0 && chip_offset::notifyMonth % 4 == 0);

// The fields whose value is the same in every chip.
struct ChipConstantField {
    std::size_t offset;
    std::int32_t value;
};

// clang-format off
inline constexpr ChipConstantField kChipConstantFields[] = {
    {72, 0},   {76, 1},  {80, 0},   {84, 0},  {88, 0},  {100, -1}, {104, -1}, {108, -1},
    {112, 0},  {116, 1}, {120, -1}, {128, 0}, {132, 0}, {136, -1}, {140, 0},  {144, 0},
    {148, -1}, {152, 1}, {156, 2},  {160, 0}, {180, 0}, {184, 0},  {188, 1},  {192, -1},
};
// clang-format on
