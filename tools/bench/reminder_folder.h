// Folders of kept reminders under a benchmark of loxa-reminder.exe: listed,
// and brought back to what they held before a benchmark poked more into them.
#pragma once

#include <string>
#include <vector>

// The names "<16 hex digits>" of the ".reminder" files in the folder and its
// subfolders, sorted.
std::vector<std::string> ReminderNames(const std::string& folder);

// Deletes every ".reminder" file named after `last` (names compare as their
// numbers do), and every ".tmp" file; answers how many went.
unsigned DeleteRemindersAfter(const std::string& folder, const std::string& last);
