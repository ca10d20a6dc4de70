// A well-formed chip written field by field in the test, for the checks of
// received chips: title "abc", memo "メモ", source "http://x.jp", notified
// 12/7 20:55, created 2026-12-07.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

inline void PutField(std::string& chip, std::size_t offset, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        chip[offset + static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i));
    }
}

inline std::string GoodChip()
{
    std::string chip(208, '\0');
    std::memcpy(&chip[4], "ZuriNoteChipData100", 20);
    // clang-format off
    const std::int32_t constants[][2] = {
        {72, 0},   {76, 1},   {80, 0},   {84, 0},   {88, 0},   {100, -1}, {104, -1},
        {108, -1}, {112, 0},  {116, 1},  {120, -1}, {128, 0},  {132, 0},  {136, -1},
        {140, 0},  {144, 0},  {148, -1}, {152, 1},  {156, 2},  {160, 0},  {180, 0},
        {184, 0},  {188, 1},  {192, -1},
    };
    // clang-format on
    for (const auto& constant : constants) {
        PutField(chip, static_cast<std::size_t>(constant[0]), constant[1]);
    }
    chip += std::string("abc", 4) + std::string("メモ", sizeof("メモ"))
            + std::string("http://x.jp", 12);
    PutField(chip, 0, static_cast<std::int32_t>(chip.size()));
    PutField(chip, 92, 208);
    PutField(chip, 96, 212);
    PutField(chip, 124, 212 + static_cast<std::int32_t>(sizeof("メモ")));
    PutField(chip, 164, 12);
    PutField(chip, 168, 7);
    PutField(chip, 172, 20);
    PutField(chip, 176, 55);
    PutField(chip, 196, 2026);
    PutField(chip, 200, 12);
    PutField(chip, 204, 7);
    return chip;
}
