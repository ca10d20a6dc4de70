#include "memchr_baseline.h"

#include <cstring>

std::size_t CountCarriageReturns(const char* text, std::size_t length)
{
    std::size_t count = 0;
    const char* p = text;
    const char* end = text + length;
    while ((p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p))))
           != nullptr) {
        ++count;
        ++p;
    }
    return count;
}
