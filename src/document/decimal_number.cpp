#include "document/decimal_number.h"

namespace {

bool IsConversionSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::int32_t ReadDecimalNumber(const char* text, const char** stop)
{
    const char* p = text;
    while (IsConversionSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!IsDigit(*p)) {
        if (stop) {
            *stop = text;
        }
        return 0;
    }
    // Accumulate the magnitude, saturating one past the largest positive
    // value so that "-2147483648" is still exact.
    const std::int64_t limit = std::int64_t{INT32_MAX} + 1;
    std::int64_t magnitude = 0;
    while (IsDigit(*p)) {
        if (magnitude < limit) {
            magnitude = magnitude * 10 + (*p - '0');
            if (magnitude > limit) {
                magnitude = limit;
            }
        }
        ++p;
    }
    if (stop) {
        *stop = p;
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}
