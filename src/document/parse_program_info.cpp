#include "document/parse_program_info.h"

#include <cstring>

#include "document/header_keyword_table.h"
#include "document/keyword_compare.h"

namespace {

void ApplyHeaderLine(ProgramInfo& info, char* line)
{
    for (const HeaderKeyword& row : HeaderKeywordTable) {
        if (KeywordMatches(line, row.keyword, row.length)) {
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
        if (text[i] != '\r') {
            continue;
        }
        text[i] = '\0';
        // lineStart is at most one past the previous CR, so at most i + 1,
        // which is still inside the text or on its NUL.
        char* line = text + lineStart;
        if (*line == '\0') {
            // The empty line: the body starts past its CR LF, but never past
            // the text's end.
            const std::size_t bodyStart = i + 2 <= n ? i + 2 : n;
            info.body = text + bodyStart;
            TrimTrailingLineBreaks(info.body);
            return true;
        }
        ApplyHeaderLine(info, line);
        // The byte after a CR is taken to be its LF and never examined as
        // line content.
        lineStart = i + 2;
    }
    return true;
}
