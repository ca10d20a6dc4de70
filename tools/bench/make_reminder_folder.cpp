// Fills a folder with valid reminder files for the benchmarks of
// loxa-reminder.exe (built natively by the bench command):
//
//   make_reminder_folder FOLDER COUNT
//
// FOLDER is made when missing. Prints the time it took on stdout.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "benchmark_reminders.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_reminder_folder FOLDER COUNT\n");
        return 2;
    }
#ifdef _WIN32
    const std::string folder = std::string(argv[1]) + "\\";
#else
    const std::string folder = std::string(argv[1]) + "/";
#endif
    const auto count = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    const auto start = std::chrono::steady_clock::now();
    if (!FillReminderFolder(folder, count)) {
        return 1;
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    std::printf("%u reminder files written in %.0f ms\n", count, took.count());
    return 0;
}
