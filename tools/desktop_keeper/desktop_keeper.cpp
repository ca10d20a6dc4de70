// Keeps the test prefix's Wine desktop, and with it one explorer.exe, for a
// whole test run. Wine closes a desktop a second after the last process on
// it other than its explorer.exe ends, so between two tests it closed, and
// the next test started a new explorer.exe while the old one was still
// going. A program that came up on the old desktop read the X window that
// the old explorer.exe made for clipping the cursor, and when that
// explorer.exe went, the program died of an X error (BadWindow on
// X_UnmapWindow) with exit code 0.
//
// tests/wine/run-in-wine.sh runs this once per run, detached from every
// test's output: it brings the desktop up, so that explorer.exe is started
// by it and not by a test (whose output ctest would then wait on), leaves a
// copy of itself on the desktop ("hold <tag>") and ends. The tag, the name
// of the folder the prefix's server works in, tells run-in-wine.sh whether
// its prefix has a keeper.
#include <windows.h>

#include <cstring>
#include <string>

#include "win32/unique_resource.h"

// Named as windows.h names it: the arguments after the program's name.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    if (std::strncmp(lpCmdLine, "hold ", 5) == 0) {
        // A process on the desktop keeps it open, windows or not.
        Sleep(INFINITE);
        return 0;
    }
    if (GetDesktopWindow() == nullptr) {
        return 1;
    }
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 2;
    }
    std::string commandLine = "\"" + std::string(program) + "\" hold " + lpCmdLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return 3;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return 0;
}
