#include "reminder_program.h"

#include <cstdio>

namespace {

constexpr DWORD kCloseWaitMs = 30000;

std::string ReminderExecutablePath()
{
    const std::string loxa = LoxaExecutablePath();
    return loxa.substr(0, loxa.find_last_of('\\') + 1) + "loxa-reminder.exe";
}

HWND FindMainWindow(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "LoxaReminder", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

double ElapsedMs(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart)
           / static_cast<double>(frequency.QuadPart);
}

bool WriteClockFile(const std::string& path)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear,
                                     now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr)) {
        std::fprintf(stderr, "writing the clock file %s failed: error %lu\n", path.c_str(),
                     GetLastError());
        return false;
    }
    return true;
}

bool StartReminderProgram(const std::string& folder, const std::string& clockFile, DWORD timeoutMs,
                          ReminderProgram& program)
{
    // The child inherits them.
    SetEnvironmentVariableA("LOXA_REMINDER_FOLDER", folder.c_str());
    SetEnvironmentVariableA("LOXA_REMINDER_CLOCK_FILE", clockFile.c_str());
    std::string commandLine = "\"" + ReminderExecutablePath() + "\"";
    program = ReminderProgram{};
    PROCESS_INFORMATION info{};
    LARGE_INTEGER start{};
    QueryPerformanceCounter(&start);
    if (!StartProcessInJob(commandLine, nullptr, program.process.job, info)) {
        std::fprintf(stderr, "StartProcessInJob(%s) failed: error %lu\n", commandLine.c_str(),
                     GetLastError());
        return false;
    }
    program.process.process.reset(info.hProcess);
    program.process.processId = info.dwProcessId;
    // The window comes first, the service once the kept reminders are read.
    const DWORD began = GetTickCount();
    while (program.window == nullptr || !ReminderServiceAnswers()) {
        if (program.window == nullptr) {
            program.window = FindMainWindow(info.dwProcessId);
        }
        if (GetTickCount() - began > timeoutMs
            || WaitForSingleObject(info.hProcess, 0) != WAIT_TIMEOUT) {
            std::fprintf(stderr, "loxa-reminder.exe on %s: %s\n", folder.c_str(),
                         program.window == nullptr ? "no window \"LoxaReminder\""
                                                   : "DdeConnect(Zuri, ZuriServer) never answered");
            return false;
        }
        PauseAnsweringMessages(5);
    }
    LARGE_INTEGER ready{};
    QueryPerformanceCounter(&ready);
    program.startMs = ElapsedMs(start, ready);
    return true;
}

// cppcheck-suppress constParameter ; closing changes the program's state
bool CloseReminderProgram(ReminderProgram& program)
{
    if (!PostMessageA(program.window, WM_CLOSE, 0, 0)) {
        std::fprintf(stderr, "PostMessageA(WM_CLOSE) failed: error %lu\n", GetLastError());
        return false;
    }
    DWORD exitCode = 0;
    if (!WaitForExit(program.process, kCloseWaitMs, exitCode)) {
        std::fprintf(stderr, "loxa-reminder.exe did not end within %lu ms of WM_CLOSE\n",
                     kCloseWaitMs);
        return false;
    }
    return true;
}
