// iCalendar (RFC 5545) text rules: TEXT value escaping and content-line
// folding. Input and output are UTF-8.
#pragma once

#include <string>
#include <string_view>

// Escapes a TEXT value: backslash, semicolon and comma get a backslash; each
// line break (CR LF, CR or LF) becomes "\n"; other control bytes but tab,
// which a TEXT value may not hold, are dropped.
std::string EscapeCalendarText(std::string_view text);

// One content line as it goes into the file: split into lines of at most 75
// octets, never inside a UTF-8 character, each continuation beginning with
// one blank; every line ends in CR LF.
std::string FoldContentLine(std::string_view line);
