#include "chip/read_chip.h"

#include <cstring>

namespace {

constexpr char kFormatName[] = "ZuriNoteChipData100";
constexpr std::size_t kFixedPartSize = 208;
constexpr std::size_t kFormatNameOffset = 4;
constexpr std::size_t kFormatNameField = 68;

// Offsets of the fields a reader takes.
constexpr std::size_t kTitleOffset = 92;
constexpr std::size_t kMemoOffset = 96;
constexpr std::size_t kSourceOffset = 124;
constexpr std::size_t kNotifyMonth = 164;
constexpr std::size_t kNotifyDay = 168;
constexpr std::size_t kNotifyHour = 172;
constexpr std::size_t kNotifyMinute = 176;
constexpr std::size_t kCreatedYear = 196;
constexpr std::size_t kCreatedMonth = 200;
constexpr std::size_t kCreatedDay = 204;

std::int32_t ReadInt32(const unsigned char* bytes, std::size_t offset)
{
    const std::uint32_t bits = static_cast<std::uint32_t>(bytes[offset])
                               | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
                               | static_cast<std::uint32_t>(bytes[offset + 2]) << 16
                               | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    return static_cast<std::int32_t>(bits);
}

struct Constant {
    std::size_t offset;
    std::int32_t value;
};

// clang-format off
constexpr Constant kConstants[] = {
    {72, 0},   {76, 1},   {80, 0},   {84, 0},   {88, 0},   {100, -1}, {104, -1},
    {108, -1}, {112, 0},  {116, 1},  {120, -1}, {128, 0},  {132, 0},  {136, -1},
    {140, 0},  {144, 0},  {148, -1}, {152, 1},  {156, 2},  {160, 0},  {180, 0},
    {184, 0},  {188, 1},  {192, -1},
};
// clang-format on

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
    if (bytes == nullptr || size < kFixedPartSize + 3) {
        return ChipFault::TooShort;
    }
    if (static_cast<std::uint32_t>(ReadInt32(bytes, 0)) != size) {
        return ChipFault::SizeField;
    }
    if (std::memcmp(bytes + kFormatNameOffset, kFormatName, sizeof kFormatName) != 0) {
        return ChipFault::FormatName;
    }
    ChipView read;
    std::size_t next = 0;
    if (!ReadString(bytes, size, kTitleOffset, kFixedPartSize, read.title, next)) {
        return ChipFault::TitleString;
    }
    if (!ReadString(bytes, size, kMemoOffset, next, read.memo, next)) {
        return ChipFault::MemoString;
    }
    if (!ReadString(bytes, size, kSourceOffset, next, read.source, next)) {
        return ChipFault::SourceString;
    }
    read.size = static_cast<std::uint32_t>(size);
    read.notifyMonth = ReadInt32(bytes, kNotifyMonth);
    read.notifyDay = ReadInt32(bytes, kNotifyDay);
    read.notifyHour = ReadInt32(bytes, kNotifyHour);
    read.notifyMinute = ReadInt32(bytes, kNotifyMinute);
    read.createdYear = ReadInt32(bytes, kCreatedYear);
    read.createdMonth = ReadInt32(bytes, kCreatedMonth);
    read.createdDay = ReadInt32(bytes, kCreatedDay);
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
    if (chip.notifyHour < 0 || chip.notifyHour > 23) {
        return ChipFault::NotifyHour;
    }
    if (chip.notifyMinute < 0 || chip.notifyMinute > 59) {
        return ChipFault::NotifyMinute;
    }
    return ChipFault::None;
}

ChipFault CheckExactLayout(const unsigned char* bytes, const ChipView& chip)
{
    for (std::size_t i = kFormatNameOffset + sizeof kFormatName;
         i < kFormatNameOffset + kFormatNameField; ++i) {
        if (bytes[i] != 0) {
            return ChipFault::Padding;
        }
    }
    for (const Constant& constant : kConstants) {
        if (ReadInt32(bytes, constant.offset) != constant.value) {
            return ChipFault::Constant;
        }
    }
    const std::size_t memoAt = kFixedPartSize + chip.title.size() + 1;
    const std::size_t sourceAt = memoAt + chip.memo.size() + 1;
    if (ReadInt32(bytes, kTitleOffset) != static_cast<std::int32_t>(kFixedPartSize)
        || ReadInt32(bytes, kMemoOffset) != static_cast<std::int32_t>(memoAt)
        || ReadInt32(bytes, kSourceOffset) != static_cast<std::int32_t>(sourceAt)
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
        return "notification hour is not 0-23";
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
