// Copies a code page 932 text into a fixed field, cut short where needed but
// never in the middle of a double-byte character, and always NUL-terminated.
#pragma once

#include <windows.h>

#include <cstddef>

inline void CopyText(char* field, const char* text, std::size_t size)
{
    if (size == 0) {
        return;
    }
    std::size_t at = 0;
    while (text[at] != '\0') {
        const std::size_t width =
            IsDBCSLeadByteEx(932, static_cast<BYTE>(text[at])) && text[at + 1] != '\0' ? 2 : 1;
        if (at + width > size - 1) {
            break;
        }
        at += width;
    }
    for (std::size_t i = 0; i < at; ++i) {
        field[i] = text[i];
    }
    field[at] = '\0';
}
