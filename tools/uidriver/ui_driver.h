// Drives loxa.exe from a test process: starts it with an exact command-line
// tail, finds and answers its windows, and collects its exit code.
#pragma once

#include <windows.h>

#include <string>

#include "win32/unique_resource.h"

struct LoxaProcess {
    UniqueHandle process;
    DWORD processId = 0;
};

// The full path of loxa.exe beside the running test program.
std::string LoxaExecutablePath();

// Starts loxa.exe so that exactly `tail` reaches WinMain: the command line is
// the quoted program path, then (for a non-empty tail) one blank and the tail.
bool StartLoxa(const std::string& tail, LoxaProcess& loxa);

// Waits up to `timeoutMs` for the process to end; false on time-out.
bool WaitForExit(const LoxaProcess& loxa, DWORD timeoutMs, DWORD& exitCode);
