#include "document/header_keyword_table.h"

#include "document/decimal_number.h"

namespace {

void IgnoreValue(ProgramInfo&, char*) {}

// A time is the hour, one separating byte of any kind, then the minute. A
// line that ends right after the hour has no separator: the minute is then 0
// rather than whatever the next line starts with.
void ReadTime(char* value, std::int32_t& hour, std::int32_t& minute)
{
    const char* stop = value;
    hour = ReadDecimalNumber(value, &stop);
    minute = *stop == '\0' ? 0 : ReadDecimalNumber(stop + 1, nullptr);
}

// A text value starts after blanks (0x20 only) and runs to the end of the
// line. A value of only blanks leaves the field as it was.
void ReadText(char* value, char*& field)
{
    while (*value == ' ') {
        ++value;
    }
    if (*value != '\0') {
        field = value;
    }
}

// clang-format off
void SetVersion(ProgramInfo& info, char* value) { info.version = ReadDecimalNumber(value, nullptr); }
void SetStation(ProgramInfo& info, char* value) { ReadText(value, info.station); }
void SetYear(ProgramInfo& info, char* value) { info.year = ReadDecimalNumber(value, nullptr); }
void SetMonth(ProgramInfo& info, char* value) { info.month = ReadDecimalNumber(value, nullptr); }
void SetDay(ProgramInfo& info, char* value) { info.day = ReadDecimalNumber(value, nullptr); }
void SetStart(ProgramInfo& info, char* value) { ReadTime(value, info.startHour, info.startMinute); }
void SetEnd(ProgramInfo& info, char* value) { ReadTime(value, info.endHour, info.endMinute); }
void SetTitle(ProgramInfo& info, char* value) { ReadText(value, info.title); }
void SetSubtitle(ProgramInfo& info, char* value) { ReadText(value, info.subtitle); }
// clang-format on

template <std::size_t N>
constexpr HeaderKeyword Row(const char (&keyword)[N], HeaderFieldAction action) noexcept
{
    return HeaderKeyword{keyword, N - 1, action};
}

} // namespace

const HeaderKeyword HeaderKeywordTable[kHeaderKeywordCount] = {
    Row("Content-type:", IgnoreValue), Row("version:", SetVersion),
    Row("station:", SetStation),       Row("year:", SetYear),
    Row("month:", SetMonth),           Row("date:", SetDay),
    Row("start:", SetStart),           Row("end:", SetEnd),
    Row("program-title:", SetTitle),   Row("program-subtitle:", SetSubtitle),
};
