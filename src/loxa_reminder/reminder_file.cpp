#include "loxa_reminder/reminder_file.h"

#include <cstring>
#include <utility>

#include "chip/chip_size_limit.h"

namespace {

constexpr char kMagic[8] = {'L', 'X', 'R', 'E', 'M', 'N', 'D', '1'};
constexpr std::size_t kHeadSize = 40;
constexpr std::size_t kChipSizeOffset = 36;

void PutUint32(std::vector<unsigned char>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

std::uint32_t GetUint32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
           | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

} // namespace

std::uint32_t Crc32(const unsigned char* bytes, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

ChipFault CheckReceivedChip(const unsigned char* bytes, std::size_t size, ChipView& chip)
{
    const ChipFault fault = ReadChip(bytes, size, chip);
    return fault != ChipFault::None ? fault : CheckNotificationTime(chip);
}

std::vector<unsigned char> EncodeReminderFile(const KeptReminder& reminder)
{
    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    out.reserve(kHeadSize + reminder.chip.size() + 4);
    PutUint32(out, static_cast<std::uint32_t>(reminder.state));
    PutUint32(out, reminder.deleteWhenDone ? 1u : 0u);
    const LocalMoment& r = reminder.received;
    for (std::int32_t value : {r.year, r.month, r.day, r.hour, r.minute}) {
        PutUint32(out, static_cast<std::uint32_t>(value));
    }
    PutUint32(out, static_cast<std::uint32_t>(reminder.chip.size()));
    out.insert(out.end(), reminder.chip.begin(), reminder.chip.end());
    PutUint32(out, Crc32(out.data(), out.size()));
    return out;
}

bool DecodeReminderFile(const unsigned char* bytes, std::size_t size, KeptReminder& reminder)
{
    if (bytes == nullptr || size < kHeadSize + 4
        || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        return false;
    }
    const std::uint32_t chipSize = GetUint32(bytes + kChipSizeOffset);
    if (chipSize != size - kHeadSize - 4 || chipSize > kChipSizeLimit) {
        return false;
    }
    if (GetUint32(bytes + size - 4) != Crc32(bytes, size - 4)) {
        return false;
    }
    const std::uint32_t state = GetUint32(bytes + 8);
    const std::uint32_t flags = GetUint32(bytes + 12);
    if (state > 1 || flags > 1) {
        return false;
    }
    ChipView chip;
    if (CheckReceivedChip(bytes + kHeadSize, chipSize, chip) != ChipFault::None) {
        return false;
    }
    KeptReminder read;
    read.state = static_cast<ReminderState>(state);
    read.deleteWhenDone = flags == 1;
    read.received.year = static_cast<std::int32_t>(GetUint32(bytes + 16));
    read.received.month = static_cast<std::int32_t>(GetUint32(bytes + 20));
    read.received.day = static_cast<std::int32_t>(GetUint32(bytes + 24));
    read.received.hour = static_cast<std::int32_t>(GetUint32(bytes + 28));
    read.received.minute = static_cast<std::int32_t>(GetUint32(bytes + 32));
    if (!IsCalendarDate(read.received.year, read.received.month, read.received.day)) {
        return false;
    }
    read.chip.assign(bytes + kHeadSize, bytes + kHeadSize + chipSize);
    reminder = std::move(read);
    return true;
}
