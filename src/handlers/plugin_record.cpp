#include "handlers/plugin_record.h"

#include <cstddef>
#include <cstring>

namespace {

using namespace PluginRecordLayout;

void WriteLittleEndian32(unsigned char* at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    at[0] = static_cast<unsigned char>(bits);
    at[1] = static_cast<unsigned char>(bits >> 8);
    at[2] = static_cast<unsigned char>(bits >> 16);
    at[3] = static_cast<unsigned char>(bits >> 24);
}

// Station, title, subtitle, body: the order of the strings area.
constexpr int kStringCount = 4;

} // namespace

std::int32_t BuildPluginRecord(const ProgramInfo& info, void* buffer, std::int32_t capacity)
{
    const char* const strings[kStringCount] = {info.station, info.title, info.subtitle, info.body};
    const int offsetFields[kStringCount] = {kStationOffsetOffset, kTitleOffsetOffset,
                                            kSubtitleOffsetOffset, kBodyOffsetOffset};

    std::size_t lengths[kStringCount] = {};
    std::uint64_t total = kHeaderSize;
    for (int i = 0; i < kStringCount; ++i) {
        if (strings[i] != nullptr) {
            lengths[i] = std::strlen(strings[i]) + 1;
            total += lengths[i];
        }
    }
    // Offsets and the size are 32-bit signed: a larger record cannot be said.
    if (total > static_cast<std::uint64_t>(INT32_MAX)) {
        return -1;
    }
    const auto size = static_cast<std::int32_t>(total);
    if (buffer == nullptr || capacity < size) {
        return size;
    }

    auto* record = static_cast<unsigned char*>(buffer);
    std::memset(record, 0, static_cast<std::size_t>(capacity));
    WriteLittleEndian32(record + kSizeOffset, size);
    WriteLittleEndian32(record + kRecordVersionOffset, kRecordVersion);
    WriteLittleEndian32(record + kVersionOffset, info.version);
    WriteLittleEndian32(record + kYearOffset, info.year);
    WriteLittleEndian32(record + kMonthOffset, info.month);
    WriteLittleEndian32(record + kDayOffset, info.day);
    WriteLittleEndian32(record + kStartHourOffset, info.startHour);
    WriteLittleEndian32(record + kStartMinuteOffset, info.startMinute);
    WriteLittleEndian32(record + kEndHourOffset, info.endHour);
    WriteLittleEndian32(record + kEndMinuteOffset, info.endMinute);

    std::size_t cursor = kHeaderSize;
    for (int i = 0; i < kStringCount; ++i) {
        if (lengths[i] == 0) {
            continue;
        }
        WriteLittleEndian32(record + offsetFields[i], static_cast<std::int32_t>(cursor));
        std::memcpy(record + cursor, strings[i], lengths[i]);
        cursor += lengths[i];
    }
    return size;
}
