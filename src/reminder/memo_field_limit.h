// How much of the composed memo text the program data dialog's memo field is
// given. A program description is a few kilobytes; a faulty or hostile
// document may bring a body of hundreds of megabytes, or lines of megabytes.
// The edit control keeps its own UTF-16 copy of its text and lays every
// paragraph out again for each wrapped line, so under Wine a paragraph of
// 64 KiB takes about 13 s to show and one of 256 KiB about 150 s, while
// 512 KiB of short lines take about 3 s. The limit keeps any real description
// whole and the worst case (one paragraph of the whole limit) near 3 s.
#pragma once

#include <cstddef>

#include "reminder/memo_text.h"

constexpr std::size_t kMemoFieldLimit = std::size_t{32} * 1024;

// How many leading bytes of the NUL-terminated `text` go into `room` bytes:
// all of them when the text is no longer. Otherwise the cut never splits a
// code page 932 double-byte character (a lead byte 0x81-0x9F or 0xE0-0xFC
// takes the next byte with it), and when a line break (CR or LF) starts in
// the last half of the room the cut falls right before it and the breaks
// around it, so that the text ends on a whole line. Reads at most room + 1
// bytes of `text`.
std::size_t FitTextToRoom(const char* text, std::size_t room);

// Which part of the memo goes into the field: `wholeParts` parts as they are,
// then the first `cutLength` bytes of the next part (none when 0). Nothing
// follows a cut part.
struct MemoFieldFit {
    int wholeParts = 0;
    std::size_t cutLength = 0;
};

MemoFieldFit FitMemoField(const MemoPieces& pieces, std::size_t limit = kMemoFieldLimit);
