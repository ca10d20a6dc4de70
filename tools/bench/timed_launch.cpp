#include "timed_launch.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "handler_menu_driver.h"
#include "ui_driver.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
// Looking for the window every millisecond keeps the polling error small
// against launch times of a few hundred milliseconds.
constexpr DWORD kPollMs = 1;
constexpr DWORD kExitWaitMs = 3000;
constexpr int kAnswerAttempts = 5;

const char* WindowClassOf(WindowKind kind)
{
    return kind == WindowKind::Menu ? "#32768" : "#32770";
}

// Box: OK; dialog: Cancel; menu: Esc. Either way the program ends.
void Answer(HWND window, WindowKind kind)
{
    switch (kind) {
    case WindowKind::Box:
        PressDialogButton(window, IDOK);
        break;
    case WindowKind::Dialog:
        PressDialogButton(window, IDCANCEL);
        break;
    case WindowKind::Menu:
        DismissMenu(HandlerMenuView{window, {}});
        break;
    }
}

std::vector<std::string> ServerStatFiles()
{
    std::vector<std::string> files;
    const char* list = std::getenv("LOXA_BENCH_SERVERS");
    for (const char* at = list; at && *at != '\0';) {
        const char* end = std::strchr(at, ',');
        const std::size_t length = end ? static_cast<std::size_t>(end - at) : std::strlen(at);
        if (length > 0) {
            files.emplace_back(at, length);
        }
        at = end ? end + 1 : at + length;
    }
    return files;
}

// Total CPU nanoseconds of the listed processes (the first field of each
// schedstat file); negative when one cannot be read.
double ServerCpuNs(const std::vector<std::string>& files)
{
    double total = 0;
    for (const std::string& file : files) {
        UniqueHandle stat(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        char text[128] = {};
        DWORD read = 0;
        if (!stat || !ReadFile(stat.get(), text, sizeof text - 1, &read, nullptr) || read == 0) {
            return -1;
        }
        total += std::strtod(text, nullptr);
    }
    return total;
}

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

} // namespace

double TimeLaunch(const LaunchTarget& target, double* serverCpuMs)
{
    static const std::vector<std::string> serverStats = ServerStatFiles();
    if (serverCpuMs) {
        *serverCpuMs = -1;
    }
    const double serverBefore = serverStats.empty() ? -1 : ServerCpuNs(serverStats);
    std::string commandLine = target.commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    LARGE_INTEGER start{};
    LARGE_INTEGER shown{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return -1;
    }
    UniqueHandle thread(info.hThread);
    LoxaProcess process;
    process.process.reset(info.hProcess);
    process.processId = info.dwProcessId;

    HWND window = WaitForProcessWindow(info.dwProcessId, WindowClassOf(target.kind), target.title,
                                       kWindowTimeoutMs, kPollMs);
    QueryPerformanceCounter(&shown);
    if (window == nullptr) {
        return -1;
    }
    const double serverAfter = serverStats.empty() ? -1 : ServerCpuNs(serverStats);
    if (serverCpuMs && serverBefore >= 0 && serverAfter >= 0) {
        *serverCpuMs = (serverAfter - serverBefore) / 1e6;
    }
    // An answer posted before the window's loop runs may be lost: repeat it
    // until the program ends.
    DWORD exitCode = 0;
    for (int attempt = 0; attempt < kAnswerAttempts; ++attempt) {
        Answer(window, target.kind);
        if (WaitForExit(process, kExitWaitMs, exitCode)) {
            return Milliseconds(shown.QuadPart - start.QuadPart);
        }
    }
    return -1;
}
