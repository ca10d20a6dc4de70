// The bad-input documents of the soak, made at run time (they are too large to
// keep in the repository) and always the same bytes for the same arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// `size` pseudo-random bytes from a fixed seed. With `withNul` false no byte
// is 0, so that the program reads the whole document rather than stopping at
// the first NUL.
std::string RandomBytes(std::size_t size, std::uint32_t seed, bool withNul);

// A version 1 header dated 2027-03-01 21:00 with `title`, ended by the empty
// line; `extraLines` (each with its CR LF) come before the title.
std::string SoakHeader(const std::string& title, const std::string& extraLines = std::string());

// `count` header lines that cycle through every keyword the program knows
// (with changing values) and some that it does not know; the last of them
// set version 1, a date and a title.
std::string ManyHeaderLines(std::size_t count);

// Lines of code page 932 text, each ended by CR LF, up to `size` bytes.
std::string JapaneseLines(std::size_t size);

// One line of `size` bytes without a line break: double-byte characters
// after one single-byte character, so that every double-byte character
// starts at an odd offset.
std::string JapaneseLine(std::size_t size);
