#include "reminder/local_date.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace {

LocalDateReader currentReader = &ReadPlatformLocalDate;

} // namespace

CalendarDate ReadPlatformLocalDate()
{
#ifdef _WIN32
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
#else
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return CalendarDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
#endif
}

CalendarDate ReadLocalDate()
{
    return currentReader();
}

LocalDateReader ReplaceLocalDateReader(LocalDateReader reader)
{
    LocalDateReader previous = currentReader;
    currentReader = reader ? reader : &ReadPlatformLocalDate;
    return previous;
}
