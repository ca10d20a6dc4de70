// The chip a test expects, written out field by field, independently of the
// program's own chip builder.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "reminder/local_date.h"

inline std::string ExpectedChip(const std::string& title, const std::string& memo,
                                std::int32_t month, std::int32_t day, std::int32_t hour,
                                std::int32_t minute, CalendarDate created)
{
    const auto memoOffset = static_cast<std::int32_t>(208 + title.size() + 1);
    const auto sourceOffset = static_cast<std::int32_t>(memoOffset + memo.size() + 1);
    std::string bytes;
    const auto appendWord = [&bytes](std::int32_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<char>(bits >> shift));
        }
    };
    appendWord(sourceOffset + 26);
    bytes += "ZuriNoteChipData100";
    bytes.resize(72, '\0');
    // clang-format off
    for (std::int32_t word : {0, 1, 0, 0, 0, 208, memoOffset, -1, -1, -1, 0, 1, -1,
                              sourceOffset, 0, 0, -1, 0, 0, -1, 1, 2, 0, month, day, hour,
                              minute, 0, 0, 1, -1, created.year, created.month, created.day}) {
        appendWord(word);
    }
    // clang-format on
    bytes += title;
    bytes.push_back('\0');
    bytes += memo;
    bytes.push_back('\0');
    bytes += "http://tvguide.example.jp";
    bytes.push_back('\0');
    return bytes;
}

#ifdef _WIN32
#include <windows.h>

// A chip made during the test: created today (the local date).
inline std::string ExpectedChip(const std::string& title, const std::string& memo,
                                std::int32_t month, std::int32_t day, std::int32_t hour,
                                std::int32_t minute)
{
    SYSTEMTIME today{};
    GetLocalTime(&today);
    return ExpectedChip(title, memo, month, day, hour, minute,
                        CalendarDate{today.wYear, today.wMonth, today.wDay});
}
#endif
