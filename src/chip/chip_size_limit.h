// The largest chip a receiver takes. A chip holds only the title, memo and
// source address texts, so 1 MiB is ample; the receiver refuses a larger
// poke before it copies anything, and the loader sets a larger file aside.
#pragma once

#include <cstddef>

inline constexpr std::size_t kChipSizeLimit = std::size_t{1} << 20;
