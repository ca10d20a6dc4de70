#include "ui_driver.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>

#include "driver_failure.h"
#include "ui_probe.h"
#include "wait_scale.h"

namespace {

constexpr DWORD kPollMs = 20;
DWORD IconWaitMs()
{
    return ScaledWaitMs(1000);
}

using UniqueHook = UniqueResource<HHOOK, NullInvalidDeleter<HHOOK, &UnhookWindowsHookEx>>;
using UniqueEnvironment = UniqueResource<LPCH, NullInvalidDeleter<LPCH, &FreeEnvironmentStringsA>>;

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1);
}

// The hook lives as long as the test process; the system loads the probe
// into each GUI process that then meets a CBT event.
bool InstallUiProbe()
{
    static UniqueLibrary probe;
    static UniqueHook hook;
    static bool tried = false;
    if (!tried) {
        tried = true;
        probe.reset(LoadLibraryA((ProgramFolder() + "loxa_ui_probe.dll").c_str()));
        if (probe) {
            auto proc = reinterpret_cast<HOOKPROC>(
                reinterpret_cast<void*>(GetProcAddress(probe.get(), kUiProbeHookName)));
            if (proc) {
                hook.reset(SetWindowsHookExA(WH_CBT, proc, probe.get(), 0));
            }
        }
    }
    return static_cast<bool>(hook);
}

std::string NewProbeLogPath()
{
    static unsigned runs = 0;
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "loxa-probe-" + std::to_string(GetCurrentProcessId()) + "-"
           + std::to_string(++runs) + ".log";
}

bool StartsWithIgnoringCase(const char* text, const char* prefix)
{
    const int length = lstrlenA(prefix);
    return lstrlenA(text) >= length
           && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text, length, prefix, length)
                  == CSTR_EQUAL;
}

// This process's environment with the probe's variable set to `probeLog`.
std::string ChildEnvironment(const std::string& probeLog)
{
    const std::string assignment = std::string(kUiProbeLogVariable) + "=";
    std::string block;
    UniqueEnvironment own(GetEnvironmentStringsA());
    if (own) {
        for (const char* entry = own.get(); *entry != '\0'; entry += std::strlen(entry) + 1) {
            if (!StartsWithIgnoringCase(entry, assignment.c_str())) {
                block.append(entry, std::strlen(entry) + 1);
            }
        }
    }
    block += assignment + probeLog;
    block.push_back('\0');
    block.push_back('\0');
    return block;
}

std::string TextOf(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 256, '\0');
    int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? length : 0);
    return text;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    bool messageBoxOnly;
    const std::vector<HWND>* skip;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)
        || !WindowClassIs(window, search.className)
        || (search.title && TextOf(window) != search.title)
        || (search.messageBoxOnly && !IsMessageBoxWindow(window))) {
        return TRUE;
    }
    if (search.skip) {
        for (HWND done : *search.skip) {
            if (done == window) {
                return TRUE;
            }
        }
    }
    search.found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title,
                       bool messageBoxOnly, const std::vector<HWND>* skip = nullptr)
{
    WindowSearch search{processId, className, title, messageBoxOnly, skip, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND PollForWindow(DWORD processId, const char* className, const char* title, bool messageBoxOnly,
                   DWORD timeoutMs, DWORD pollMs = kPollMs)
{
    // A process that has ended shows nothing more: no need to wait it out.
    UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const bool ended = process && WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
        if (HWND window = FindProcessWindow(processId, className, title, messageBoxOnly)) {
            return window;
        }
        if (ended || GetTickCount64() >= deadline) {
            DWORD exitCode = 0;
            GetExitCodeProcess(process.get(), &exitCode);
            NoteDriverFailure(std::string("no ") + (messageBoxOnly ? "message box" : "window")
                              + " of class " + className
                              + (title ? " titled " + std::string(title) : "") + " of process "
                              + std::to_string(processId)
                              + (ended ? ", which ended with exit code " + std::to_string(exitCode)
                                       : " within " + std::to_string(timeoutMs) + " ms"));
            return nullptr;
        }
        PauseAnsweringMessages(pollMs);
    }
}

BoxIcon IconOfCode(INT_PTR code)
{
    switch (code) {
    case kUiProbeIconNone:
        return BoxIcon::None;
    case kUiProbeIconInformation:
        return BoxIcon::Information;
    case kUiProbeIconWarning:
        return BoxIcon::Warning;
    case kUiProbeIconError:
        return BoxIcon::Error;
    case kUiProbeIconQuestion:
        return BoxIcon::Question;
    default:
        return BoxIcon::Unknown;
    }
}

BoxIcon WaitForBoxIcon(HWND box, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HANDLE code = GetPropA(box, kUiProbeIconProperty)) {
            return IconOfCode(reinterpret_cast<INT_PTR>(code));
        }
        if (GetTickCount64() >= deadline || !IsWindow(box)) {
            return BoxIcon::Unknown;
        }
        PauseAnsweringMessages(5);
    }
}

} // namespace

void PauseAnsweringMessages(DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

std::string LoxaExecutablePath()
{
    return ProgramFolder() + "loxa.exe";
}

bool StartProcessInJob(std::string& commandLine, char* environment, UniqueHandle& job,
                       PROCESS_INFORMATION& info, const char* program)
{
    const std::string line = commandLine;
    job.reset(CreateJobObjectA(nullptr, nullptr));
    if (!job) {
        NoteFailedCall("CreateJobObjectA");
        return false;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits)) {
        NoteFailedCall("SetInformationJobObject");
        return false;
    }
    // Suspended until it is in the job, so that nothing it starts escapes.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        environment, nullptr, &startup, &info)) {
        NoteFailedCall("CreateProcessA(" + line + ")");
        return false;
    }
    UniqueHandle thread(info.hThread);
    info.hThread = nullptr;
    if (!AssignProcessToJobObject(job.get(), info.hProcess)) {
        NoteFailedCall("AssignProcessToJobObject(" + line + ")");
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        return false;
    }
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        NoteFailedCall("ResumeThread(" + line + ")");
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        return false;
    }
    return true;
}

bool StartLoxa(const std::string& tail, LoxaProcess& loxa)
{
    InstallUiProbe();
    std::string commandLine = "\"" + LoxaExecutablePath() + "\"";
    if (!tail.empty()) {
        commandLine += " " + tail;
    }
    std::string probeLog = NewProbeLogPath();
    DeleteFileA(probeLog.c_str());
    std::string environment = ChildEnvironment(probeLog);

    PROCESS_INFORMATION info{};
    if (!StartProcessInJob(commandLine, environment.data(), loxa.job, info)) {
        return false;
    }
    loxa.process.reset(info.hProcess);
    loxa.processId = info.dwProcessId;
    loxa.probeLog.reset(probeLog);
    return true;
}

bool WaitForProcessModule(const LoxaProcess& loxa, const char* name, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        HMODULE modules[256];
        DWORD bytes = 0;
        // Fails while the new process's loader has not set up its module list.
        if (EnumProcessModules(loxa.process.get(), modules, sizeof modules, &bytes)) {
            // NOLINTNEXTLINE(bugprone-sizeof-expression): a module handle's size is meant
            const DWORD count = std::min<DWORD>(bytes / sizeof modules[0], 256);
            for (DWORD i = 0; i < count; ++i) {
                char base[MAX_PATH] = {};
                if (GetModuleBaseNameA(loxa.process.get(), modules[i], base, MAX_PATH)
                    && lstrcmpiA(base, name) == 0) {
                    return true;
                }
            }
        }
        if (WaitForSingleObject(loxa.process.get(), 0) == WAIT_OBJECT_0) {
            NoteDriverFailure("WaitForProcessModule: the process ended before it mapped "
                              + std::string(name));
            return false;
        }
        if (GetTickCount64() >= deadline) {
            NoteDriverFailure("WaitForProcessModule: " + std::string(name) + " not mapped within "
                              + std::to_string(timeoutMs) + " ms");
            return false;
        }
        PauseAnsweringMessages(2);
    }
}

bool WaitForExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode)
{
    const DWORD waited = WaitForSingleObject(loxa.process.get(), timeoutMs);
    if (waited == WAIT_FAILED) {
        NoteFailedCall("WaitForExit: WaitForSingleObject");
        return false;
    }
    if (waited != WAIT_OBJECT_0) {
        NoteDriverFailure("WaitForExit: process " + std::to_string(loxa.processId)
                          + " still runs after " + std::to_string(timeoutMs) + " ms");
        return false;
    }
    if (!GetExitCodeProcess(loxa.process.get(), &exitCode)) {
        NoteFailedCall("WaitForExit: GetExitCodeProcess");
        return false;
    }
    return true;
}

SIZE_T PeakMemoryBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        return 0;
    }
    return std::max(counters.PeakWorkingSetSize, counters.PeakPagefileUsage);
}

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title,
                          DWORD timeoutMs, DWORD pollMs)
{
    return PollForWindow(processId, className, title, false, timeoutMs, pollMs);
}

bool ReadMessageBox(HWND box, DWORD iconTimeoutMs, MessageBoxView& view)
{
    if (!IsMessageBoxWindow(box)) {
        NoteDriverFailure("ReadMessageBox: the window is no message box");
        return false;
    }
    view = MessageBoxView{};
    view.window = box;
    view.icon = WaitForBoxIcon(box, iconTimeoutMs);
    view.caption = TextOf(box);
    view.text = TextOf(GetDlgItem(box, 0xFFFF));
    // Children come in Z order, which is the dialog's tab order.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClassIs(child, "Button") && IsWindowVisible(child)) {
            view.buttons.push_back(GetDlgCtrlID(child));
        }
    }
    if (!IsWindow(box)) {
        NoteDriverFailure("ReadMessageBox: the box went while it was read");
        return false;
    }
    return true;
}

bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView& box)
{
    HWND window = PollForWindow(processId, "#32770", nullptr, true, timeoutMs);
    return window && ReadMessageBox(window, IconWaitMs(), box);
}

bool PressDialogButton(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    if (!button) {
        NoteFailedCall("PressDialogButton: GetDlgItem(" + std::to_string(id) + ")");
        return false;
    }
    // Not before the window's thread is in its message loop, so that the
    // press lands on a box that is fully shown.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ScaledWaitMs(5000), &answer);
    if (!PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
        NoteFailedCall("PressDialogButton: PostMessageA(WM_COMMAND " + std::to_string(id) + ")");
        return false;
    }
    return true;
}

namespace {

void NoteFailedKeyPost(HWND window, const char* message, WPARAM key, const char* target,
                       DWORD error)
{
    const bool gone = IsWindow(window) == FALSE;
    SetLastError(error);
    NoteFailedCall(std::string("PostMessageA(") + message + " of key " + std::to_string(key)
                   + " to " + target + (gone ? ", which is gone" : "") + ")");
}

} // namespace

bool PostKeyStroke(HWND window, WPARAM key, UINT scanCode, const char* target)
{
    const LPARAM scan = static_cast<LPARAM>(scanCode) << 16;
    if (!PostMessageA(window, WM_KEYDOWN, key, scan | 1)) {
        NoteFailedKeyPost(window, "WM_KEYDOWN", key, target, GetLastError());
        return false;
    }
    if (PostMessageA(window, WM_KEYUP, key, scan | static_cast<LPARAM>(0xC0000001))) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_WINDOW_HANDLE && IsWindow(window) == FALSE) {
        return true;
    }
    NoteFailedKeyPost(window, "WM_KEYUP", key, target, error);
    return false;
}

bool AnswerUntilExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode,
                     std::vector<MessageBoxView>& boxes)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::vector<HWND> answered;
    for (;;) {
        if (WaitForExit(loxa, 0, exitCode)) {
            return true;
        }
        if (HWND window = FindProcessWindow(loxa.processId, "#32770", nullptr, false, &answered)) {
            answered.push_back(window);
            MessageBoxView box;
            if (ReadMessageBox(window, IconWaitMs(), box)) {
                boxes.push_back(box);
                const bool hasOk = GetDlgItem(window, IDOK) != nullptr;
                PressDialogButton(window, hasOk || box.buttons.empty() ? IDOK : box.buttons[0]);
            } else if (!PressDialogButton(window, IDCANCEL)) {
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
            continue;
        }
        if (GetTickCount64() >= deadline) {
            NoteDriverFailure("AnswerUntilExit: process " + std::to_string(loxa.processId)
                              + " still runs after " + std::to_string(timeoutMs) + " ms, "
                              + std::to_string(answered.size()) + " windows answered");
            return false;
        }
        PauseAnsweringMessages(kPollMs);
    }
}

std::vector<std::string> ReadProbeEvents(const LoxaProcess& loxa)
{
    std::vector<std::string> events;
    UniqueHandle log(CreateFileA(loxa.probeLog.get().c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) {
        return events;
    }
    std::string content;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(log.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        content.append(chunk, read);
    }
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        events.push_back(line);
        start = end + 1;
    }
    return events;
}
