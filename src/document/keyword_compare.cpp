#include "document/keyword_compare.h"

#ifdef _WIN32
#include <windows.h>

bool EqualInSystemLocale(const char* line, const char* keyword, std::size_t length)
{
    const int count = static_cast<int>(length);
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, line, count, keyword, count)
           == CSTR_EQUAL;
}
#endif
