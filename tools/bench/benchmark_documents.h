// The documents the parser benchmark reads, built in memory: CR LF lines in
// code page 932, as a browser saves them.
#pragma once

#include <cstddef>
#include <string>

// About 1 KB: a full header and a short description, like a real listing.
std::string SmallDocument();

// About `bytes` of header lines (the header of SmallDocument, repeated), then
// the empty line and a one-line body.
std::string HeaderHeavyDocument(std::size_t bytes);

// The header of SmallDocument, then a body of about `bytes` in lines of
// description text.
std::string LargeBodyDocument(std::size_t bytes);
