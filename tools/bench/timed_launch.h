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

struct LaunchTiming {
    double ms;    // wall clock from CreateProcessA to the window; negative: failed
    double cpuMs; // the program's own CPU time (user + kernel) when its window was seen
};

// The timing of one start; ms is negative when the window did not appear or
// the program did not end after it was answered (the program is then ended).
LaunchTiming TimeLaunch(const LaunchTarget& target);
