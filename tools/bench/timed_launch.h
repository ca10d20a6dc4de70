// One timed start under the launch benchmark: from CreateProcessA to the
// first visible window of the wanted kind. The window is then answered and
// the process waited for, untimed.
#pragma once

#include <string>

enum class WindowKind { Box, Dialog, Menu }; // message box, dialog, popup menu

struct LaunchTarget {
    std::string commandLine; // as given to CreateProcessA
    WindowKind kind;
    const char* title; // the window's caption; null: any (menus have none)
};

// Milliseconds to the window; negative when it did not appear or the program
// did not end after it was answered (the program is then ended). When
// LOXA_BENCH_SERVERS lists Linux schedstat files (Windows paths, such as
// Z:\proc\PID\schedstat, comma-separated: the prefix's wineserver, the X
// server), *serverCpuMs gets the CPU time those processes spent from the
// start to the window, else -1. It includes what the launcher's own polling
// asks of the wineserver, the same for both programs per millisecond waited.
double TimeLaunch(const LaunchTarget& target, double* serverCpuMs = nullptr);
