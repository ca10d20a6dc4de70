// The running program's state and its hidden main window, which owns the
// notification-area icon and the one timer.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "loxa_reminder/local_moment.h"
#include "loxa_reminder/reminder_table.h"

// Found by a second start and by the installer, which closes it with WM_CLOSE.
inline constexpr char kMainWindowClass[] = "LoxaReminder";

// Posted to the main window.
inline constexpr UINT kShowListMessage = WM_APP + 1; // a second start asks for the list
inline constexpr UINT kChangedMessage = WM_APP + 2;  // the reminders changed
inline constexpr UINT kTrayMessage = WM_APP + 3;     // the icon's callback

struct ReminderApp {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND list = nullptr;
    HWND summary = nullptr; // "ほか N 件" while more are due than windows are shown
    std::string folder;
    ReminderTable reminders;
};

ReminderApp& App();

// Starts everything; false (after saying why, unless `quiet`) when the
// program cannot run. `exitCode` is then the process's exit code.
bool StartReminderApp(HINSTANCE instance, bool quiet, int& exitCode);

// Routes keyboard input to the program's dialogs; true when it took `message`.
bool HandleDialogMessage(MSG& message);

// Closing a reminder window: done, or deleted when the chip asked for it.
void CompleteReminder(HWND notice);

// Deletes the reminders with these names (their files, their windows).
void DeleteReminders(const std::vector<std::string>& names);

// Seconds of local time, for due times and the clock.
std::int64_t NowSeconds();
