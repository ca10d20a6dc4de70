#include "reminder/memo_text.h"

#include <cstdio>
#include <new>

namespace {

// "%02d": at least two digits, a sign for negative values.
void AppendTwoDigits(std::string& text, std::int32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", static_cast<int>(value));
    text += digits;
}

void ComposeTitleLine(const ProgramInfo& info, std::string& line)
{
    if (info.title == nullptr) {
        return;
    }
    line += "タイトル：";
    line += info.title;
    if (info.subtitle != nullptr) {
        line += " - ";
        line += info.subtitle;
        line += " - ";
    }
    line += "\r\n";
}

void ComposeStationLine(const ProgramInfo& info, std::string& line)
{
    if (info.station == nullptr) {
        return;
    }
    line += "放送局：";
    line += info.station;
    line += " (";
    AppendTwoDigits(line, info.month);
    line += '/';
    AppendTwoDigits(line, info.day);
    line += ' ';
    AppendTwoDigits(line, info.startHour);
    line += ':';
    AppendTwoDigits(line, info.startMinute);
    line += " - ";
    AppendTwoDigits(line, info.endHour);
    line += ':';
    AppendTwoDigits(line, info.endMinute);
    line += ')';
}

} // namespace

bool ComposeMemoPieces(const ProgramInfo& info, MemoPieces& pieces)
{
    pieces = MemoPieces{};
    try {
        ComposeTitleLine(info, pieces.titleLine);
        ComposeStationLine(info, pieces.stationLine);
    } catch (const std::bad_alloc&) {
        pieces = MemoPieces{};
        return false;
    }
    if (info.body != nullptr) {
        pieces.bodySeparator = "\r\n\r\n";
        pieces.body = info.body;
    }
    return true;
}
