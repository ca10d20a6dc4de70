// The memo text that the program data dialog starts with, composed from the
// document's header and body.
#pragma once

#include <string>

#include "document/program_info.h"

// The pieces in the order they are appended to the memo field. A piece may be
// empty; `body` is null when the document has none.
struct MemoPieces {
    std::string titleLine;   // "タイトル：title - subtitle - \r\n", or nothing without a title
    std::string stationLine; // "放送局：station (MM/DD hh:mm - hh:mm)", or nothing
    const char* bodySeparator = nullptr; // "\r\n\r\n" when there is a body
    const char* body = nullptr;
};

// Composes the pieces without any fixed-size buffer, so long texts stay
// whole. False (and no pieces) only when memory runs out.
bool ComposeMemoPieces(const ProgramInfo& info, MemoPieces& pieces);
