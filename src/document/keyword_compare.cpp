#include "document/keyword_compare.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualFoldingAscii(const char* line, const char* keyword, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (FoldAscii(line[i]) != FoldAscii(keyword[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool KeywordMatches(const char* line, std::size_t lineLength, const char* keyword,
                    std::size_t length)
{
    // A shorter line matches no keyword; checking first also keeps the
    // comparison from reading past the line's NUL.
    if (lineLength < length) {
        return false;
    }
    // Bytes that are equal but for ASCII case are equal to the locale too, so
    // the common case needs no call into the system.
    if (EqualFoldingAscii(line, keyword, length)) {
        return true;
    }
#ifdef _WIN32
    const int count = static_cast<int>(length);
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, line, count, keyword, count)
        == CSTR_EQUAL;
#else
    return false;
#endif
}
