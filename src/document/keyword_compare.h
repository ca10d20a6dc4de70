// Case-insensitive match of a header line's first bytes against a keyword.
#pragma once

#include <cstddef>

// The system locale's comparison of two texts of `length` bytes, letter case
// ignored (CompareStringA, NORM_IGNORECASE). Windows only.
bool EqualInSystemLocale(const char* line, const char* keyword, std::size_t length);

inline char FoldAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the line (lineLength bytes before its NUL) holds at least
// `length` bytes and those bytes equal `keyword` with letter case ignored. On
// Windows the comparison is the system locale's; elsewhere it folds ASCII
// letters, which is the same for the keywords of a document. Inline, as the
// parser tries up to ten keywords on every line.
inline bool KeywordMatches(const char* line, std::size_t lineLength, const char* keyword,
                           std::size_t length)
{
    // A shorter line matches no keyword; checking first also keeps the
    // comparison from reading past the line's NUL.
    if (lineLength < length) {
        return false;
    }
    // Bytes that are equal but for ASCII case are equal to the locale too, so
    // the common case needs no call into the system.
    std::size_t i = 0;
    while (i < length && FoldAsciiLetter(line[i]) == FoldAsciiLetter(keyword[i])) {
        ++i;
    }
    // NOLINTNEXTLINE(readability-simplify-boolean-expr): the Windows build goes on below
    const bool equalButForCase = i == length;
#ifdef _WIN32
    return equalButForCase || EqualInSystemLocale(line, keyword, length);
#else
    return equalButForCase;
#endif
}
