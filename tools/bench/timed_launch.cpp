#include "timed_launch.h"

#include <windows.h>

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

double Milliseconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

} // namespace

double TimeLaunch(const LaunchTarget& target)
{
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
