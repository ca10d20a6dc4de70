#include "document/keyword_compare.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

bool HasAtLeast(const char* line, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (line[i] == '\0') {
            return false;
        }
    }
    return true;
}

#ifndef _WIN32
char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
#endif

} // namespace

bool KeywordMatches(const char* line, const char* keyword, std::size_t length)
{
    // A shorter line matches no keyword; checking first also keeps the
    // comparison from reading past the line's NUL.
    if (!HasAtLeast(line, length)) {
        return false;
    }
#ifdef _WIN32
    const int count = static_cast<int>(length);
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, line, count, keyword, count)
           == CSTR_EQUAL;
#else
    for (std::size_t i = 0; i < length; ++i) {
        if (FoldAscii(line[i]) != FoldAscii(keyword[i])) {
            return false;
        }
    }
    return true;
#endif
}
