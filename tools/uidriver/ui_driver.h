// Drives loxa.exe from a test process: starts it with an exact command-line
// tail, finds and answers its windows, and collects its exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/unique_resource.h"

struct LoxaProcess {
    UniqueHandle process;
    DWORD processId = 0;
};

// The full path of loxa.exe beside the running test program.
std::string LoxaExecutablePath();

// Starts loxa.exe so that exactly `tail` reaches WinMain: the command line is
// the quoted program path, then (for a non-empty tail) one blank and the tail.
// The child inherits the test's environment.
bool StartLoxa(const std::string& tail, LoxaProcess& loxa);

// Waits up to `timeoutMs` for the process to end; false on time-out.
bool WaitForExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode);

// Waits up to `timeoutMs` for a visible top-level window of the process with
// the given class (and title, when not null); null on time-out.
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* title,
                          DWORD timeoutMs);

enum class BoxIcon { None, Information, Warning, Error, Question, Unknown };

struct MessageBoxView {
    HWND window = nullptr;
    std::string caption;       // bytes as shown (code page 932)
    std::string text;          // bytes as shown (code page 932)
    std::vector<int> buttons;  // command identifiers of the box's buttons, in tab order
    BoxIcon icon = BoxIcon::Unknown;
};

// Waits up to `timeoutMs` for a message box of the process and reads it.
bool WaitForMessageBox(DWORD processId, DWORD timeoutMs, MessageBoxView& box);

// Presses the button with the given command identifier of a dialog or box.
bool PressDialogButton(HWND window, int id);
