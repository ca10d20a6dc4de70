// One table of chips a receiver must refuse, each changed from the good chip
// of chip_bytes.h in one way, with the check that refuses it; the rows with
// ChipFault::None are the edges it must still take. The native tests run
// the checks on it, the Windows tests poke it to loxa-reminder.exe.
#pragma once

#include <string>

#include "chip/read_chip.h"
#include "chip_bytes.h"

struct BadChip {
    const char* name;
    std::string (*make)();
    ChipFault fault;
};

inline std::string WithField(std::size_t offset, std::int32_t value)
{
    std::string chip = GoodChip();
    PutField(chip, offset, value);
    return chip;
}

inline std::string WithByte(std::size_t offset, char value)
{
    std::string chip = GoodChip();
    chip[offset] = value;
    return chip;
}

inline std::string WithNotification(std::int32_t month, std::int32_t day, std::int32_t hour,
                                    std::int32_t minute)
{
    std::string chip = GoodChip();
    PutField(chip, 164, month);
    PutField(chip, 168, day);
    PutField(chip, 172, hour);
    PutField(chip, 176, minute);
    return chip;
}

// The good chip is 229 bytes: title at 208 ("abc"), memo at 212 (4 bytes),
// source at 217 (11 bytes), its NUL at 228.
// clang-format off
inline const BadChip kBadChips[] = {
    {"size field one more", [] { return WithField(0, 230); }, ChipFault::SizeField},
    {"size field one less", [] { return WithField(0, 228); }, ChipFault::SizeField},
    {"size field 0", [] { return WithField(0, 0); }, ChipFault::SizeField},
    {"the fixed part and three NULs less one", [] {
         std::string chip = GoodChip().substr(0, 210);
         PutField(chip, 0, 210);
         return chip; }, ChipFault::TooShort},
    {"format name misspelt", [] { return WithByte(22, '1'); }, ChipFault::FormatName},
    {"format name without its NUL", [] { return WithByte(23, 'X'); }, ChipFault::FormatName},
    {"title inside the fixed part", [] { return WithField(92, 207); }, ChipFault::TitleString},
    {"title offset negative", [] { return WithField(92, -1); }, ChipFault::TitleString},
    {"title offset at the end", [] { return WithField(92, 229); }, ChipFault::TitleString},
    {"memo inside the title", [] { return WithField(96, 211); }, ChipFault::MemoString},
    {"memo offset at the end", [] { return WithField(96, 229); }, ChipFault::MemoString},
    {"title's NUL overwritten", [] { return WithByte(211, 'd'); }, ChipFault::MemoString},
    {"source inside the memo", [] { return WithField(124, 216); }, ChipFault::SourceString},
    {"source offset past the end", [] { return WithField(124, 0x7FFFFFFF); }, ChipFault::SourceString},
    {"source without its NUL", [] { return WithByte(228, 'p'); }, ChipFault::SourceString},
    {"notification month 0", [] { return WithNotification(0, 7, 20, 55); }, ChipFault::NotifyMonth},
    {"notification month 13", [] { return WithNotification(13, 7, 20, 55); }, ChipFault::NotifyMonth},
    {"notification day 0", [] { return WithNotification(12, 0, 20, 55); }, ChipFault::NotifyDay},
    {"notification day 32", [] { return WithNotification(12, 32, 20, 55); }, ChipFault::NotifyDay},
    {"notification hour -1", [] { return WithNotification(12, 7, -1, 55); }, ChipFault::NotifyHour},
    {"notification hour 48", [] { return WithNotification(12, 7, 48, 0); }, ChipFault::NotifyHour},
    {"notification minute -1", [] { return WithNotification(12, 7, 20, -1); }, ChipFault::NotifyMinute},
    {"notification minute 60", [] { return WithNotification(12, 7, 20, 60); }, ChipFault::NotifyMinute},
    {"earliest notification time", [] { return WithNotification(1, 1, 0, 0); }, ChipFault::None},
    {"the next day's first hour", [] { return WithNotification(12, 7, 24, 0); }, ChipFault::None},
    {"latest notification time", [] { return WithNotification(12, 31, 47, 59); }, ChipFault::None},
    {"a gap before the source", [] {
         std::string chip = GoodChip();
         chip.insert(217, 1, 'x');
         PutField(chip, 0, 230);
         PutField(chip, 124, 218);
         return chip; }, ChipFault::None},
};
// clang-format on
