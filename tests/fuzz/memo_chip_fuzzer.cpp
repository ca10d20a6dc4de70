// Fuzz target: the memo text and the chip record as the program data dialog
// builds them from a parsed document, with any lead time, any dialog numbers
// and any creation date.
//
// Input: a 37-byte head, then the document. A shorter input counts as padded
// with zeros. All numbers are little-endian 32-bit.
//   0   lead minutes as typed (any value; the dialog clamps it)
//   4   creation date: year, month, day (what the local-date seam reports)
//   16  flags: bit 0 set = the user replaced the document's date and start
//   17  year, month, day, start hour, start minute used with bit 0
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "document/parse_program_info.h"
#include "fuzz_check.h"
#include "reminder/chip_record.h"
#include "reminder/local_date.h"
#include "reminder/memo_text.h"
#include "reminder/notification_time.h"

namespace {

constexpr std::size_t kHeadSize = 37;

std::int32_t ReadLittleEndian32(const unsigned char* at)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
        | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24);
}

CalendarDate fuzzedToday{};

CalendarDate ReadFuzzedToday()
{
    return fuzzedToday;
}

class FuzzedDate {
public:
    explicit FuzzedDate(CalendarDate today) : previous_(ReplaceLocalDateReader(&ReadFuzzedToday))
    {
        fuzzedToday = today;
    }
    ~FuzzedDate() { ReplaceLocalDateReader(previous_); }
    FuzzedDate(const FuzzedDate&) = delete;
    FuzzedDate& operator=(const FuzzedDate&) = delete;

private:
    LocalDateReader previous_;
};

// The memo starts with the title line, holding the whole title and the
// subtitle between dashes; `at` moves past it.
void CheckTitleLine(const ProgramInfo& info, const std::string& memo, std::size_t& at)
{
    if (info.title == nullptr) {
        return;
    }
    std::string expected = std::string("タイトル：") + info.title;
    if (info.subtitle != nullptr) {
        expected += std::string(" - ") + info.subtitle + " - ";
    }
    expected += "\r\n";
    FUZZ_CHECK(memo.compare(at, expected.size(), expected) == 0);
    at += expected.size();
}

// Then the station line, holding the whole station; the six numbers read
// back from it are the document's, each in two places at least.
void CheckStationLine(const ProgramInfo& info, const std::string& memo, std::size_t& at)
{
    if (info.station == nullptr) {
        return;
    }
    const std::string head = std::string("放送局：") + info.station + " (";
    FUZZ_CHECK(memo.compare(at, head.size(), head) == 0);
    at += head.size();

    int values[6] = {};
    int consumed = -1;
    // NOLINTNEXTLINE(cert-err34-c): the count and %n check every conversion
    FUZZ_CHECK(std::sscanf(memo.c_str() + at, "%d/%d %d:%d - %d:%d)%n", &values[0], &values[1],
                           &values[2], &values[3], &values[4], &values[5], &consumed)
               == 6);
    FUZZ_CHECK(consumed > 0);
    const std::int32_t expected[6] = {info.month,       info.day,     info.startHour,
                                      info.startMinute, info.endHour, info.endMinute};
    for (int i = 0; i < 6; ++i) {
        FUZZ_CHECK(values[i] == expected[i]);
    }
    const std::size_t end = at + static_cast<std::size_t>(consumed);
    for (std::size_t i = at; i < end;) {
        if (memo[i] < '0' || memo[i] > '9') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < end && memo[i] >= '0' && memo[i] <= '9') {
            ++i;
        }
        FUZZ_CHECK(i - start >= 2 || memo[start - 1] == '-');
    }
    at = end;
}

// The hand-made "%02d" against the C library's.
void CheckTwoDigits(std::int32_t value)
{
    char text[12];
    FormatTwoDigits(value, text);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%02d", static_cast<int>(value));
    FUZZ_CHECK(std::strcmp(text, expected) == 0);
}

bool IsLeapYear(std::int32_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month)
{
    constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Minutes from the start of `year` to the given moment of it.
std::int64_t MinuteOfYear(std::int32_t year, std::int32_t month, std::int32_t day,
                          std::int32_t hour, std::int32_t minute)
{
    std::int64_t days = day - 1;
    for (std::int32_t m = 1; m < month; ++m) {
        days += DaysInMonth(year, m);
    }
    return (days * 24 + hour) * 60 + minute;
}

void CheckNotificationTime(std::int32_t year, std::int32_t month, std::int32_t day,
                           std::int32_t hour, std::int32_t minute, std::int32_t lead,
                           const NotificationTime& notify)
{
    FUZZ_CHECK(lead >= 0 && lead <= kLongestLeadMinutes);
    // A borrowed month is always a real one.
    FUZZ_CHECK(notify.month == month || (notify.month >= 1 && notify.month <= 12));
    const bool validClock = hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
    if (validClock) {
        FUZZ_CHECK(notify.hour >= 0 && notify.hour < 24);
        FUZZ_CHECK(notify.minute >= 0 && notify.minute < 60);
    }
    // From a real moment the notice is a real moment exactly `lead` minutes
    // earlier (stepping back from New Year's Day lands on 31 December of the
    // same year number: the chip has no year).
    if (validClock && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month)) {
        FUZZ_CHECK(notify.day >= 1 && notify.day <= DaysInMonth(year, notify.month));
        const std::int64_t yearMinutes = MinuteOfYear(year, 12, 31, 24, 0);
        const std::int64_t start = MinuteOfYear(year, month, day, hour, minute);
        const std::int64_t expected = (start - lead + yearMinutes) % yearMinutes;
        FUZZ_CHECK(MinuteOfYear(year, notify.month, notify.day, notify.hour, notify.minute)
                   == expected);
    }
}

// The chip's fixed part, then title, memo and source address with their
// NULs, ending exactly at the record's size.
void CheckChip(const char* title, const char* memo, const NotificationTime& notify,
               const CalendarDate& today)
{
    const std::size_t titleLength = title ? std::strlen(title) : 0;
    const std::size_t memoLength = memo ? std::strlen(memo) : 0;
    const std::size_t sourceLength = std::strlen(SourceAddress);
    const std::uint32_t size = GetChipRecordSize(title, memo);
    FUZZ_CHECK(size == kChipFixedPartSize + titleLength + memoLength + sourceLength + 3);

    std::vector<unsigned char> tooSmall(size - 1, 0);
    FUZZ_CHECK(FillChipRecord(tooSmall.data(), size - 1, title, memo, notify.month, notify.day,
                              notify.hour, notify.minute)
               == size);
    for (unsigned char byte : tooSmall) {
        FUZZ_CHECK(byte == 0);
    }

    std::vector<unsigned char> record(size, 0);
    FUZZ_CHECK(FillChipRecord(record.data(), size, title, memo, notify.month, notify.day,
                              notify.hour, notify.minute)
               == size);
    const unsigned char* r = record.data();
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::size) == static_cast<std::int32_t>(size));
    FUZZ_CHECK(std::memcmp(r + chip_offset::formatName, kChipClipboardFormatName,
                           sizeof kChipClipboardFormatName)
               == 0);

    const std::int32_t titleAt = ReadLittleEndian32(r + chip_offset::titleOffset);
    const std::int32_t memoAt = ReadLittleEndian32(r + chip_offset::memoOffset);
    const std::int32_t sourceAt = ReadLittleEndian32(r + chip_offset::sourceOffset);
    FUZZ_CHECK(titleAt == static_cast<std::int32_t>(kChipFixedPartSize));
    FUZZ_CHECK(memoAt == titleAt + static_cast<std::int32_t>(titleLength) + 1);
    FUZZ_CHECK(sourceAt == memoAt + static_cast<std::int32_t>(memoLength) + 1);
    FUZZ_CHECK(sourceAt + static_cast<std::int32_t>(sourceLength) + 1
               == static_cast<std::int32_t>(size));
    FUZZ_CHECK(titleLength == 0 || std::memcmp(r + titleAt, title, titleLength) == 0);
    FUZZ_CHECK(r[titleAt + static_cast<std::int32_t>(titleLength)] == '\0');
    FUZZ_CHECK(memoLength == 0 || std::memcmp(r + memoAt, memo, memoLength) == 0);
    FUZZ_CHECK(r[memoAt + static_cast<std::int32_t>(memoLength)] == '\0');
    FUZZ_CHECK(std::memcmp(r + sourceAt, SourceAddress, sourceLength + 1) == 0);

    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::notifyMonth) == notify.month);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::notifyDay) == notify.day);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::notifyHour) == notify.hour);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::notifyMinute) == notify.minute);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::createdYear) == today.year);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::createdMonth) == today.month);
    FUZZ_CHECK(ReadLittleEndian32(r + chip_offset::createdDay) == today.day);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    unsigned char head[kHeadSize] = {};
    const std::size_t headBytes = size < kHeadSize ? size : kHeadSize;
    std::copy_n(data, headBytes, head);
    std::vector<char> text(data + headBytes, data + size);
    text.push_back('\0');

    ProgramInfo info{};
    FUZZ_CHECK(ParseProgramInfo(info, text.data()));

    MemoPieces pieces;
    ComposeMemoPieces(info, pieces);
    FUZZ_CHECK(pieces.count >= 0 && pieces.count <= MemoPieces::kMaxParts);
    // The memo field's text, appended piece by piece as the dialog does.
    std::string memo;
    for (int i = 0; i < pieces.count; ++i) {
        FUZZ_CHECK(pieces.parts[i] != nullptr);
        memo += pieces.parts[i];
    }
    std::size_t at = 0;
    CheckTitleLine(info, memo, at);
    CheckStationLine(info, memo, at);
    if (info.body != nullptr) {
        FUZZ_CHECK(memo.compare(at, std::string::npos, std::string("\r\n\r\n") + info.body) == 0);
    } else {
        FUZZ_CHECK(at == memo.size());
    }

    const bool edited = (head[16] & 1) != 0;
    const std::int32_t year = edited ? ReadLittleEndian32(head + 17) : info.year;
    const std::int32_t month = edited ? ReadLittleEndian32(head + 21) : info.month;
    const std::int32_t day = edited ? ReadLittleEndian32(head + 25) : info.day;
    const std::int32_t hour = edited ? ReadLittleEndian32(head + 29) : info.startHour;
    const std::int32_t minute = edited ? ReadLittleEndian32(head + 33) : info.startMinute;
    const std::int32_t typedLead = ReadLittleEndian32(head);
    const std::int32_t lead = ClampLeadMinutes(typedLead);
    FUZZ_CHECK(typedLead < 0 || typedLead > kLongestLeadMinutes || lead == typedLead);
    for (int offset = 0; offset + 4 <= static_cast<int>(kHeadSize); offset += 4) {
        CheckTwoDigits(ReadLittleEndian32(head + offset));
    }
    const NotificationTime notify = SubtractLeadTime(year, month, day, hour, minute, lead);
    CheckNotificationTime(year, month, day, hour, minute, lead, notify);

    // Empty dialog fields are sent as absent texts.
    const CalendarDate today{ReadLittleEndian32(head + 4), ReadLittleEndian32(head + 8),
                             ReadLittleEndian32(head + 12)};
    const FuzzedDate fixedToday(today);
    CheckChip(info.title, memo.empty() ? nullptr : memo.c_str(), notify, today);
    return 0;
}
