// Decimal conversion of header values, with the C library's rules (leading
// white space, optional sign, digits) but a fixed 32-bit range on every
// platform, so a 64-bit build reads documents exactly as the 32-bit one.
#pragma once

#include <cstdint>

// Converts the number at `text`. `stop`, when given, receives the first byte
// after the digits, or `text` itself when there are none. Out-of-range values
// give the nearest 32-bit limit.
std::int32_t ReadDecimalNumber(const char* text, const char** stop);
