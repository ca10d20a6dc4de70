#include "loxa_reminder/reminder_clock.h"

#include <windows.h>

#include <cstdio>

#include "win32/unique_resource.h"

namespace {

bool ReadClockFile(LocalMoment& now)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("LOXA_REMINDER_CLOCK_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return false;
    }
    UniqueHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char text[32] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) {
        return false;
    }
    LocalMoment moment;
    // NOLINTNEXTLINE(cert-err34-c): the count checks every conversion
    if (std::sscanf(text, "%d-%d-%d %d:%d:%d", &moment.year, &moment.month, &moment.day,
                    &moment.hour, &moment.minute, &moment.second)
            != 6
        || !IsCalendarDate(moment.year, moment.month, moment.day)) {
        return false;
    }
    now = moment;
    return true;
}

} // namespace

LocalMoment ReadLocalClock()
{
    LocalMoment now;
    if (ReadClockFile(now)) {
        return now;
    }
    SYSTEMTIME time{};
    GetLocalTime(&time);
    now.year = time.wYear;
    now.month = time.wMonth;
    now.day = time.wDay;
    now.hour = time.wHour;
    now.minute = time.wMinute;
    now.second = time.wSecond;
    return now;
}
