#include "reminder/memo_field_limit.h"

#include "document/code_page_932.h"

namespace {

bool IsLineBreak(unsigned char byte)
{
    return byte == '\r' || byte == '\n';
}

} // namespace

std::size_t FitTextToRoom(const char* text, std::size_t room)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    // Walk whole characters; `at` is always the start of one.
    std::size_t at = 0;
    std::size_t breakStart = 0; // start of the last run of line breaks seen
    bool inBreak = false;
    bool sawBreak = false;
    for (;;) {
        const unsigned char byte = bytes[at];
        if (byte == '\0') {
            return at; // the whole text fits
        }
        if (IsLineBreak(byte)) {
            if (!inBreak) {
                breakStart = at;
            }
            inBreak = true;
            sawBreak = true;
        } else {
            inBreak = false;
        }
        if (at == room) {
            break;
        }
        // A lead byte before the terminating NUL is a character of its own.
        const std::size_t next = IsCp932LeadByte(byte) && bytes[at + 1] != '\0' ? at + 2 : at + 1;
        if (next > room) {
            break;
        }
        at = next;
    }
    if (sawBreak && breakStart >= room / 2) {
        return breakStart;
    }
    return at;
}

MemoFieldFit FitMemoField(const MemoPieces& pieces, std::size_t limit)
{
    MemoFieldFit fit;
    std::size_t room = limit;
    for (int i = 0; i < pieces.count; ++i) {
        const char* part = pieces.parts[i];
        const std::size_t length = FitTextToRoom(part, room);
        if (part[length] != '\0') {
            fit.cutLength = length;
            return fit;
        }
        room -= length;
        ++fit.wholeParts;
    }
    return fit;
}
