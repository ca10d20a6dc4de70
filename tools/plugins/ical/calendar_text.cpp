#include "calendar_text.h"

#include <cstddef>

std::string EscapeCalendarText(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
        case ';':
        case ',':
            escaped += '\\';
            escaped += c;
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            escaped += "\\n";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t') {
                escaped += c;
            }
            break;
        }
    }
    return escaped;
}

namespace {

constexpr std::size_t kMaxLineOctets = 75;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::string FoldContentLine(std::string_view line)
{
    std::string folded;
    std::size_t start = 0;
    std::size_t room = kMaxLineOctets;
    while (line.size() - start > room) {
        std::size_t end = start + room;
        // Back up to the start of the character that would be cut.
        while (end > start && IsContinuationByte(line[end])) {
            --end;
        }
        if (end == start) {
            end = start + room; // not UTF-8 after all: cut where the octets run out
        }
        folded.append(line.substr(start, end - start));
        folded += "\r\n ";
        start = end;
        room = kMaxLineOctets - 1;
    }
    folded.append(line.substr(start));
    folded += "\r\n";
    return folded;
}
