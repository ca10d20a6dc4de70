#include "reminder/memo_text.h"

namespace {

void Append(MemoPieces& pieces, const char* text)
{
    if (pieces.count < MemoPieces::kMaxParts) {
        pieces.parts[pieces.count++] = text;
    }
}

const char* Number(MemoPieces& pieces, int slot, std::int32_t value)
{
    FormatTwoDigits(value, pieces.numbers[slot]);
    return pieces.numbers[slot];
}

void ComposeTitleLine(const ProgramInfo& info, MemoPieces& pieces)
{
    if (info.title == nullptr) {
        return;
    }
    Append(pieces, "タイトル：");
    Append(pieces, info.title);
    if (info.subtitle != nullptr) {
        Append(pieces, " - ");
        Append(pieces, info.subtitle);
        Append(pieces, " - ");
    }
    Append(pieces, "\r\n");
}

void ComposeStationLine(const ProgramInfo& info, MemoPieces& pieces)
{
    if (info.station == nullptr) {
        return;
    }
    Append(pieces, "放送局：");
    Append(pieces, info.station);
    Append(pieces, " (");
    Append(pieces, Number(pieces, 0, info.month));
    Append(pieces, "/");
    Append(pieces, Number(pieces, 1, info.day));
    Append(pieces, " ");
    Append(pieces, Number(pieces, 2, info.startHour));
    Append(pieces, ":");
    Append(pieces, Number(pieces, 3, info.startMinute));
    Append(pieces, " - ");
    Append(pieces, Number(pieces, 4, info.endHour));
    Append(pieces, ":");
    Append(pieces, Number(pieces, 5, info.endMinute));
    Append(pieces, ")");
}

} // namespace

void FormatTwoDigits(std::int32_t value, char (&text)[12])
{
    // The magnitude in unsigned arithmetic, so that -2147483648 has one too.
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    int at = 0;
    if (value < 0) {
        text[at++] = '-';
    } else if (count < 2) {
        text[at++] = '0';
    }
    while (count > 0) {
        text[at++] = digits[--count];
    }
    text[at] = '\0';
}

void ComposeMemoPieces(const ProgramInfo& info, MemoPieces& pieces)
{
    pieces = MemoPieces{};
    ComposeTitleLine(info, pieces);
    ComposeStationLine(info, pieces);
    if (info.body != nullptr) {
        Append(pieces, "\r\n\r\n");
        Append(pieces, info.body);
    }
}
