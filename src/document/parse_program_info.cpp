#include "document/parse_program_info.h"

#include <cstring>

#include "document/header_keyword_table.h"
#include "document/keyword_compare.h"

namespace {

void ApplyHeaderLine(ProgramInfo& info, char* line, std::size_t lineLength)
{
    for (const HeaderKeyword& row : HeaderKeywordTable) {
        if (KeywordMatches(line, lineLength, row.keyword, row.length)) {
            row.action(info, line + row.length);
            return;
        }
    }
}

// Cuts every CR and LF at the end of the body, leaving those inside it.
void TrimTrailingLineBreaks(char* body)
{
    std::size_t length = std::strlen(body);
    while (length > 0 && (body[length - 1] == '\r' || body[length - 1] == '\n')) {
        body[--length] = '\0';
    }
}

} // namespace

bool ParseProgramInfo(ProgramInfo& info, char* text)
{
    const std::size_t n = std::strlen(text);
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Every byte but a CR is passed over; memchr finds the next CR fast.
        const void* cr = std::memchr(text + i, '\r', n - i);
        if (cr == nullptr) {
            break;
        }
        i = static_cast<std::size_t>(static_cast<const char*>(cr) - text);
        text[i] = '\0';
        // lineStart is at most one past the previous CR, so at most i + 1,
        // which is still inside the text or on its NUL. Up to i the line
        // ends at the NUL just written; a line that starts right after it
        // (a CR directly after a CR) runs on to the text's end for now.
        char* line = text + lineStart;
        const std::size_t lineLength = lineStart <= i ? i - lineStart : n - lineStart;
        if (lineLength == 0) {
            // The empty line: the body starts past its CR LF, but never past
            // the text's end.
            const std::size_t bodyStart = i + 2 <= n ? i + 2 : n;
            info.body = text + bodyStart;
            TrimTrailingLineBreaks(info.body);
            return true;
        }
        ApplyHeaderLine(info, line, lineLength);
        // The byte after a CR is taken to be its LF and never examined as
        // line content.
        lineStart = i + 2;
    }
    return true;
}
