// One run of loxa-reminder.exe under a benchmark: its data folder and clock
// file handed to it through the environment, started, waited for until its
// DDE service answers, and ended as the installer ends it.
#pragma once

#include <windows.h>

#include <string>

#include "reminder_service_probe.h"
#include "ui_driver.h"

struct ReminderProgram {
    LoxaProcess process;
    HWND window = nullptr; // its hidden main window, class "LoxaReminder"
    double startMs = 0;    // from CreateProcessA until the service answered
};

// Starts loxa-reminder.exe (beside this program) on `folder` (no trailing
// backslash) and `clockFile`; false, after saying which call failed, when it
// did not offer its service within `timeoutMs`.
bool StartReminderProgram(const std::string& folder, const std::string& clockFile, DWORD timeoutMs,
                          ReminderProgram& program);

// WM_CLOSE to its window, then waits for its end; false when it did not end.
bool CloseReminderProgram(ReminderProgram& program);

// Writes the local time now, as "YYYY-MM-DD HH:MM:SS", into `path`.
bool WriteClockFile(const std::string& path);

// Milliseconds between two QueryPerformanceCounter readings.
double ElapsedMs(const LARGE_INTEGER& start, const LARGE_INTEGER& end);
