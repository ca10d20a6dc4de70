// Case-insensitive match of a header line's first bytes against a keyword.
#pragma once

#include <cstddef>

// True when the line (lineLength bytes before its NUL) holds at least
// `length` bytes and those bytes equal `keyword` with letter case ignored. On
// Windows the comparison is the system locale's (CompareStringA,
// NORM_IGNORECASE); elsewhere it folds ASCII letters, which is the same for
// the keywords of a document.
bool KeywordMatches(const char* line, std::size_t lineLength, const char* keyword,
                    std::size_t length);
