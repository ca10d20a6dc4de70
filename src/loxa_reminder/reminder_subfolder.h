// Where in the data folder a reminder's file lives: in the subfolder named by
// the last two of its name's hex digits. A name is the time of receipt in
// 100 ns steps, so the files spread evenly over 256 subfolders, and none grows
// large: a file system that reads a whole folder to look up a new name (Wine's,
// FAT) stays quick with thousands of reminders kept.
#pragma once

#include <algorithm>
#include <string>

// A name the program gives: 16 hex digits.
inline bool IsReminderName(const std::string& name)
{
    return name.size() == 16 && std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
           });
}

// For a name that IsReminderName accepts.
inline std::string ReminderSubfolder(const std::string& name)
{
    return name.substr(name.size() - 2);
}
