#include "reminder/chip_record.h"

#include <cstring>

#include "reminder/local_date.h"

namespace {

std::uint32_t TextLength(const char* text)
{
    return text ? static_cast<std::uint32_t>(std::strlen(text)) : 0;
}

void PutInt32(unsigned char* record, std::size_t offset, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    record[offset] = static_cast<unsigned char>(bits);
    record[offset + 1] = static_cast<unsigned char>(bits >> 8);
    record[offset + 2] = static_cast<unsigned char>(bits >> 16);
    record[offset + 3] = static_cast<unsigned char>(bits >> 24);
}

// Copies `text` (empty when absent) with its NUL to `offset`; returns the
// offset after it.
std::uint32_t PutText(unsigned char* record, std::uint32_t offset, const char* text)
{
    const std::uint32_t length = TextLength(text);
    if (length > 0) {
        std::memcpy(record + offset, text, length);
    }
    record[offset + length] = '\0';
    return offset + length + 1;
}

} // namespace

std::uint32_t GetChipRecordSize(const char* title, const char* memo)
{
    // Three NULs beside the fixed part.
    return kChipFixedPartSize + 3 + TextLength(title) + TextLength(memo)
           + TextLength(SourceAddress);
}

std::uint32_t FillChipRecord(void* buffer, std::uint32_t bufferSize, const char* title,
                             const char* memo, std::int32_t notifyMonth, std::int32_t notifyDay,
                             std::int32_t notifyHour, std::int32_t notifyMinute)
{
    const std::uint32_t required = GetChipRecordSize(title, memo);
    if (buffer == nullptr || bufferSize < required) {
        return required;
    }
    auto* record = static_cast<unsigned char*>(buffer);

    PutInt32(record, chip_offset::size, static_cast<std::int32_t>(bufferSize));
    std::memcpy(record + chip_offset::formatName, kChipClipboardFormatName,
                sizeof kChipClipboardFormatName);

    std::uint32_t next = kChipFixedPartSize;
    PutInt32(record, chip_offset::titleOffset, static_cast<std::int32_t>(next));
    next = PutText(record, next, title);
    PutInt32(record, chip_offset::memoOffset, static_cast<std::int32_t>(next));
    next = PutText(record, next, memo);

    for (const ChipConstantField& field : kChipConstantFields) {
        PutInt32(record, field.offset, field.value);
    }

    PutInt32(record, chip_offset::sourceOffset, static_cast<std::int32_t>(next));
    PutText(record, next, SourceAddress);

    PutInt32(record, chip_offset::notifyMonth, notifyMonth);
    PutInt32(record, chip_offset::notifyDay, notifyDay);
    PutInt32(record, chip_offset::notifyHour, notifyHour);
    PutInt32(record, chip_offset::notifyMinute, notifyMinute);

    const CalendarDate created = ReadLocalDate();
    PutInt32(record, chip_offset::createdYear, created.year);
    PutInt32(record, chip_offset::createdMonth, created.month);
    PutInt32(record, chip_offset::createdDay, created.day);
    return required;
}
