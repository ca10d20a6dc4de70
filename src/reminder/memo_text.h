// The memo text that the program data dialog starts with, composed from the
// document's header and body.
#pragma once

#include "document/program_info.h"

// The memo as a sequence of texts that the dialog appends one after another:
// "タイトル：title - subtitle - \r\n", "放送局：station (MM/DD hh:mm - hh:mm)",
// then "\r\n\r\n" and the body. The texts point into the document and into
// `numbers`, so nothing is copied and no length is limited; the record must
// not outlive the document.
struct MemoPieces {
    static constexpr int kMaxParts = 24;
    const char* parts[kMaxParts] = {};
    int count = 0;
    // "%02d" of month, day, start and end times: at most 11 characters each.
    char numbers[6][12] = {};
};

void ComposeMemoPieces(const ProgramInfo& info, MemoPieces& pieces);

// "%02d" without the C library's formatter: at least two digits, a minus sign
// for negative values.
void FormatTwoDigits(std::int32_t value, char (&text)[12]);
