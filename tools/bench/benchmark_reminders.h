// The reminders of the benchmarks of loxa-reminder.exe: chips as loxa.exe
// makes them, and folders filled with valid reminder files as the program
// writes them. Platform-free, so that a folder of 10,000 is made natively
// in a moment (under Wine every new name in a large folder costs a scan of
// it, and 10,000 files take minutes).
#pragma once

#include <string>
#include <vector>

// Bytes of the chip of the `index`th generated reminder: a distinct title,
// a memo of a typical length, due `index` steps of `spreadMinutes / count`
// minutes after one day from now (so over the coming weeks, and none due
// while a benchmark runs). Made by loxa.exe's own chip writer.
std::vector<unsigned char> BenchmarkChip(unsigned index, unsigned count, unsigned spreadMinutes);

// Writes `count` reminder files into `folder` (ending with the platform's
// separator; made when missing), named and placed as the program does: 16 hex
// digits of a time an hour ago in 100 ns steps, increasing, then ".reminder",
// in the subfolder of the last two digits. False, after saying what failed,
// when one was not written.
bool FillReminderFolder(const std::string& folder, unsigned count);
