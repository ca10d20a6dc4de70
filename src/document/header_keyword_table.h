// The header keywords of a program-information document and what each one
// sets in the ProgramInfo. Fixed data, in the order in which rows are tried.
#pragma once

#include <cstddef>

#include "document/program_info.h"

// A field action receives the record and the line's value: the bytes right
// after the keyword, up to the line's NUL.
using HeaderFieldAction = void (*)(ProgramInfo& info, char* value);

struct HeaderKeyword {
    const char* keyword;
    std::size_t length;
    HeaderFieldAction action;
};

constexpr std::size_t kHeaderKeywordCount = 10;
extern const HeaderKeyword HeaderKeywordTable[kHeaderKeywordCount];
