#include "driver_failure.h"

namespace {

thread_local std::string lastFailure;

// English, so that the message reads in a log whatever the code page.
std::string ErrorText(DWORD error)
{
    char text[256] = {};
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        --length;
    }
    return std::string(text, length);
}

} // namespace

void NoteFailedCall(const std::string& call)
{
    const DWORD error = GetLastError();
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    const std::string text = ErrorText(error);
    lastFailure = call + " failed: error " + std::to_string(error)
                  + (text.empty() ? std::string() : " (" + text + ")") + "; the test process holds "
                  + std::to_string(handles) + " handles";
}

void NoteDriverFailure(const std::string& what)
{
    lastFailure = what;
}

std::string DriverFailure()
{
    return lastFailure.empty() ? std::string() : "driver: " + lastFailure;
}
