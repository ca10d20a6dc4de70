// The baseline that parser throughput is held against: a line splitter
// built on memchr, finding every CR of the text.
#pragma once

#include <cstddef>

// How many CRs the first `length` bytes of `text` hold.
std::size_t CountCarriageReturns(const char* text, std::size_t length);
