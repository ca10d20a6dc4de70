#include "chip/read_chip.h"

#include <cstring>

#include "chip/chip_layout.h"

namespace {

std::int32_t ReadInt32(const unsigned char* bytes, std::size_t offset)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[offset])
                               | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
                               | static_cast<std::uint32_t>(bytes[offset + 2]) << 16
                               | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    return static_cast<std::int32_t>(bits);
}

// The NUL-terminated string whose offset field is at `field`; it must start
// at or after `from` and end inside the data. `next` is then the offset
// after its NUL.
bool ReadString(const unsigned char* bytes, std::size_t size, std::size_t field, std::size_t from,
                std::string_view& text, std::size_t& next)
{
    const std::int32_t offset = ReadInt32(bytes, field);
    if (offset < 0 || static_cast<std::size_t>(offset) < from
        || static_cast<std::size_t>(offset) >= size) {
        return false;
    }
    const auto* start = bytes + offset;
    const void* end = std::memchr(start, 0, size - static_cast<std::size_t>(offset));
    if (end == nullptr) {
        return false;
    }
    const auto length = static_cast<std::size_t>(static_cast<const unsigned char*>(end) - start);
    text = std::string_view(reinterpret_cast<const char*>(start), length);
    next = static_cast<std::size_t>(offset) + length + 1;
    return true;
}

} // namespace

ChipFault ReadChip(const unsigned char* bytes, std::size_t size, ChipView& chip)
{
    if (bytes == nullptr || size < kChipFixedPartSize + 3) {
        return ChipFault::TooShort;
    }
    if (static_cast<std::uint32_t>(ReadInt32(bytes, 0)) != size) {
        return ChipFault::SizeField;
    }
    if (std::memcmp(bytes + chip_offset::formatName, kChipClipboardFormatName,
                    sizeof kChipClipboardFormatName)
        != 0) {
        return ChipFault::FormatName;
    }
    ChipView read;
    std::size_t next = 0;
    if (!ReadString(bytes, size, chip_offset::titleOffset, kChipFixedPartSize, read.title, next)) {
        return ChipFault::TitleString;
    }
    if (!ReadString(bytes, size, chip_offset::memoOffset, next, read.memo, next)) {
        return ChipFault::MemoString;
    }
    if (!ReadString(bytes, size, chip_offset::sourceOffset, next, read.source, next)) {
        return ChipFault::SourceString;
    }
    read.size = static_cast<std::uint32_t>(size);
    read.notifyMonth = ReadInt32(bytes, chip_offset::notifyMonth);
    read.notifyDay = ReadInt32(bytes, chip_offset::notifyDay);
    read.notifyHour = ReadInt32(bytes, chip_offset::notifyHour);
    read.notifyMinute = ReadInt32(bytes, chip_offset::notifyMinute);
    read.createdYear = ReadInt32(bytes, chip_offset::createdYear);
    read.createdMonth = ReadInt32(bytes, chip_offset::createdMonth);
    read.createdDay = ReadInt32(bytes, chip_offset::createdDay);
    chip = read;
    return ChipFault::None;
}

ChipFault CheckNotificationTime(const ChipView& chip)
{
    if (chip.notifyMonth < 1 || chip.notifyMonth > 12) {
        return ChipFault::NotifyMonth;
    }
    if (chip.notifyDay < 1 || chip.notifyDay > 31) {
        return ChipFault::NotifyDay;
    }
    if (chip.notifyHour < 0 || chip.notifyHour > kLatestNotifyHour) {
        return ChipFault::NotifyHour;
    }
    if (chip.notifyMinute < 0 || chip.notifyMinute > 59) {
        return ChipFault::NotifyMinute;
    }
    return ChipFault::None;
}

ChipFault CheckExactLayout(const unsigned char* bytes, const ChipView& chip)
{
    for (std::size_t i = chip_offset::formatName + sizeof kChipClipboardFormatName;
         i < chip_offset::formatName + kChipFormatNameField; ++i) {
        if (bytes[i] != 0) {
            return ChipFault::Padding;
        }
    }
    for (const ChipConstantField& constant : kChipConstantFields) {
        if (ReadInt32(bytes, constant.offset) != constant.value) {
            return ChipFault::Constant;
        }
    }
    const std::size_t memoAt = kChipFixedPartSize + chip.title.size() + 1;
    const std::size_t sourceAt = memoAt + chip.memo.size() + 1;
    if (ReadInt32(bytes, chip_offset::titleOffset) != static_cast<std::int32_t>(kChipFixedPartSize)
        || ReadInt32(bytes, chip_offset::memoOffset) != static_cast<std::int32_t>(memoAt)
        || ReadInt32(bytes, chip_offset::sourceOffset) != static_cast<std::int32_t>(sourceAt)
        || sourceAt + chip.source.size() + 1 != chip.size) {
        return ChipFault::Packing;
    }
    if (chip.createdMonth < 1 || chip.createdMonth > 12 || chip.createdDay < 1
        || chip.createdDay > 31) {
        return ChipFault::CreationDate;
    }
    return ChipFault::None;
}

const char* DescribeChipFault(ChipFault fault)
{
    switch (fault) {
    case ChipFault::None:
        return "no fault";
    case ChipFault::TooShort:
        return "shorter than a chip";
    case ChipFault::SizeField:
        return "size field is not the size received";
    case ChipFault::FormatName:
        return "format name is not ZuriNoteChipData100";
    case ChipFault::TitleString:
        return "bad title offset";
    case ChipFault::MemoString:
        return "bad memo offset";
    case ChipFault::SourceString:
        return "bad source address offset";
    case ChipFault::NotifyMonth:
        return "notification month is not 1-12";
    case ChipFault::NotifyDay:
        return "notification day is not 1-31";
    case ChipFault::NotifyHour:
        return "notification hour is not 0-47";
    case ChipFault::NotifyMinute:
        return "notification minute is not 0-59";
    case ChipFault::Padding:
        return "bytes after the format name are not 0";
    case ChipFault::Constant:
        return "a constant field has another value";
    case ChipFault::Packing:
        return "strings not packed from offset 208 to the end";
    case ChipFault::CreationDate:
        return "creation date is no date";
    }
    return "unknown fault";
}
