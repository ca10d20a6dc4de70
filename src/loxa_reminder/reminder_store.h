// The reminders on disk: one file "<16 hex digits>.reminder" each, in a
// subfolder (reminder_subfolder.h) of the data folder, %APPDATA%\Loxa\Reminders
// (LOXA_REMINDER_FOLDER names another one, for tests). Every write goes to a
// temporary file that is flushed and then renamed over the old one, so a crash
// leaves the old state or the new one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "loxa_reminder/reminder_file.h"

struct StoredReminder {
    std::string name; // the file name without its folder and extension
    KeptReminder kept;
};

// The data folder with a trailing backslash, created when missing; empty
// when it cannot be made.
std::string OpenReminderFolder();

// Every reminder in the folder. A file that is no whole reminder is renamed
// to "<name>.damaged" beside a note "<name>.damaged.txt", and left there;
// leftover temporary files of writes that never finished are removed. Files
// that earlier versions kept straight in the data folder move into their
// subfolders first. A file another program holds open or locked for now is
// named in `held`.
std::vector<StoredReminder> LoadReminders(const std::string& folder,
                                          std::vector<std::string>& held);

// Tries the `held` files again: those read now are returned, those still
// held stay in `held`.
std::vector<StoredReminder> LoadHeldReminders(const std::string& folder,
                                              std::vector<std::string>& held);

// A fresh file name, later than any used before in this run.
std::string NewReminderName();

// Writes the reminder's file whole and durably; false when it is not on disk.
bool WriteReminder(const std::string& folder, const StoredReminder& reminder);

// Takes the reminder's file out of the folder at once: a rename to
// "<name>.deleted", quick on any disk. Deleting a file can wait for the
// device to free its blocks (milliseconds a file on some disks), so the
// renamed files go later, a few at a time (PurgeDeletedFiles), and any left
// at the end go at the next start.
bool DeleteReminder(const std::string& folder, const std::string& name);

bool HasDeletedFiles();

// Deletes at most `most` of the files DeleteReminder renamed; true while
// some remain.
bool PurgeDeletedFiles(std::size_t most);
