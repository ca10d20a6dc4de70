// Drives loxa.exe from a test process: starts it with an exact command-line
// tail, finds and answers its windows, and collects its exit code. Every wait
// polls about every 20 ms, answers the messages sent to the test's own thread
// meanwhile (PauseAnsweringMessages), and gives up at its time-out.
//
// The in-process probe. Some facts can only be read inside loxa.exe (the icon
// handle of a message box, the items of a popup menu). StartLoxa therefore
// installs loxa_ui_probe.dll (built beside the tests, see ui_probe.cpp) as a
// global WH_CBT hook, so that the system loads it into loxa.exe, and starts
// loxa.exe with the environment variable kUiProbeLogVariable (ui_probe.h)
// naming a fresh event log. The probe is passive in every process without
// that variable. Inside loxa.exe it:
//   - sets the property kUiProbeIconProperty on each message box when the box
//     is activated (read by WaitForMessageBox into MessageBoxView::icon);
//   - appends one line per event to the log ("box <hwnd> icon=<code>"),
//     which ReadProbeEvents returns.
// To probe something new, add a handler to UiProbeCbtHook that publishes a
// property on the window concerned or appends an event line, and read it
// here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver_failure.h"
#include "message_box_window.h"
#include "win32/unique_resource.h"

// A file path that deletes its file when it goes.
struct FilePathDeleter {
    static std::string Invalid() { return std::string(); }
    static bool IsValid(const std::string& path) { return !path.empty(); }
    void operator()(const std::string& path) const { DeleteFileA(path.c_str()); }
};
using UniqueFilePath = UniqueResource<std::string, FilePathDeleter>;

// A driven process that is ended when its owner goes, so that a failing test
// leaves no loxa.exe behind holding a box open (and the test runner's pipe).
struct DrivenProcessDeleter {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE process) { return process != nullptr; }
    void operator()(HANDLE process) const
    {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
};
using UniqueDrivenProcess = UniqueResource<HANDLE, DrivenProcessDeleter>;

struct LoxaProcess {
    UniqueFilePath probeLog; // the probe's event log of this run, deleted after the process ended
    UniqueHandle job;        // kills the process (and its children) when closed
    UniqueDrivenProcess process;
    DWORD processId = 0;
};

// Every call below that returns false or null records why (DriverFailure()).

// Starts `commandLine` (with `environment`, or the caller's when null) in a
// fresh job object that kills every process in it when its last handle
// closes: when `job` goes, or when the test program itself ends in any way,
// a time-out or a crash included. `info.hThread` is closed already. The
// platform may write into `commandLine`. With `program` named, the line
// reaches the process exactly as given (Wine puts quotes around a program
// path with a blank that it had to search for; Windows never does).
bool StartProcessInJob(std::string& commandLine, char* environment, UniqueHandle& job,
                       PROCESS_INFORMATION& info, const char* program = nullptr);

// Waits `ms` while answering the messages sent to this thread. Once a test
// has used DDE, shown a window or set the probe's global hook, its thread
// has windows and hooks that other programs wait on: a DDE start broadcasts
// to every top-level window, and Windows hands a hook call that cannot run in
// the other process (the 64-bit shell's, say) to the thread that set it. A
// test that only slept would hold those programs up.
void PauseAnsweringMessages(DWORD ms);

// The full path of loxa.exe beside the running test program.
std::string LoxaExecutablePath();

// Starts loxa.exe so that exactly `tail` reaches WinMain: the command line is
// the quoted program path, then (for a non-empty tail) one blank and the tail.
// The child inherits the test's environment plus the probe's variable. The
// probe hook is installed on first use; a failure to install it is no reason
// not to start (box icons then read as Unknown).
bool StartLoxa(const std::string& tail, LoxaProcess& loxa);

// Waits up to `timeoutMs` until the process has mapped the module `name`
// (e.g. "user32.dll"); its start-up has then come that far, though the
// module's initialisation may still be running. False on time-out or when
// the process ended first.
bool WaitForProcessModule(const LoxaProcess& loxa, const char* name, DWORD timeoutMs);

// Waits up to `timeoutMs` for the process to end; false on time-out.
bool WaitForExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode);

// The peak memory of a process so far, in bytes: the larger of its peak
// working set and its peak committed private memory (PeakWorkingSetSize and
// PeakPagefileUsage of GetProcessMemoryInfo). Read it while the process is
// still running: Wine answers nothing for a process that has ended. 0 when
// the counters cannot be read. The handle needs PROCESS_QUERY_INFORMATION or
// PROCESS_QUERY_LIMITED_INFORMATION, and PROCESS_VM_READ.
SIZE_T PeakMemoryBytes(HANDLE process);

// Waits up to `timeoutMs` for a visible top-level window of the process with
// the given class (and title, when not null); null on time-out. Looks every
// `pollMs` (the benchmarks time window appearance and look more often).
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title,
                          DWORD timeoutMs, DWORD pollMs = 20);

enum class BoxIcon { None, Information, Warning, Error, Question, Unknown };

struct MessageBoxView {
    HWND window = nullptr;
    std::string caption;      // bytes as shown (code page 932)
    std::string text;         // bytes as shown (code page 932)
    std::vector<int> buttons; // command identifiers of the box's visible buttons, in tab order
    BoxIcon icon = BoxIcon::Unknown;
};

// Reads a message box; waits up to `iconTimeoutMs` for the probe to publish
// its icon (Unknown when it does not).
bool ReadMessageBox(HWND box, DWORD iconTimeoutMs, MessageBoxView& view);

// Waits up to `timeoutMs` for a visible message box of the process and reads it.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView& box);

// Presses the button with the given command identifier of a dialog or box;
// false when the window has no such button.
bool PressDialogButton(HWND window, int id);

// Posts a typed key to `window` (described as `target` in a failure): its
// WM_KEYDOWN, then its WM_KEYUP, with `scanCode` in both. Escape or Enter
// may end the window on the key-down, before the key-up is posted; a real
// key-up would find no window either, so that key-up counts as posted.
bool PostKeyStroke(HWND window, WPARAM key, UINT scanCode, const char* target);

// Lets the run end on its own, answering whatever it shows meanwhile: each
// message box with OK (or its first button when it has no OK), any other
// dialog with Cancel. Every box answered is added to `boxes`. False when the
// process has not ended within `timeoutMs`.
bool AnswerUntilExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode,
                     std::vector<MessageBoxView>& boxes);

// The probe's event lines of this run so far, without their line ends.
std::vector<std::string> ReadProbeEvents(const LoxaProcess& loxa);
