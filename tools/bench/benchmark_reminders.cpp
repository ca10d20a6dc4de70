#include "benchmark_reminders.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "loxa_reminder/reminder_file.h"
#include "loxa_reminder/reminder_subfolder.h"
#include "reminder/chip_record.h"

namespace {

// 64 bits: a 32-bit time_t (i686 msvcrt) cannot hold it.
constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
constexpr std::time_t kSecondsPerHour = 3600;
constexpr std::time_t kSecondsPerDay = 86400;
// Three weeks of programs.
constexpr unsigned kSpreadMinutes = 21 * 24 * 60;

LocalMoment LocalTimeAt(std::time_t seconds)
{
    std::tm local{};
#ifdef _WIN32
    // msvcrt's localtime keeps its result per thread.
    local = *std::localtime(&seconds); // NOLINT(concurrency-mt-unsafe)
#else
    localtime_r(&seconds, &local);
#endif
    return LocalMoment{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::vector<unsigned char> BenchmarkChip(unsigned index, unsigned count, unsigned spreadMinutes)
{
    const unsigned step = count > 0 && spreadMinutes / count > 0 ? spreadMinutes / count : 1;
    const std::time_t dueAt =
        std::time(nullptr) + kSecondsPerDay + static_cast<std::time_t>(index) * step * 60;
    const LocalMoment due = LocalTimeAt(dueAt);
    char title[64];
    std::snprintf(title, sizeof title, "ベンチマーク番組 第%u回", index + 1);
    const char memo[] =
        "ＮＨＫ総合 午後の番組案内。出演者と内容の紹介が続く説明文です。"
        "録画予約もお忘れなく。";
    std::vector<unsigned char> chip(GetChipRecordSize(title, memo), 0);
    FillChipRecord(chip.data(), static_cast<std::uint32_t>(chip.size()), title, memo, due.month,
                   due.day, due.hour, due.minute);
    return chip;
}

bool FillReminderFolder(const std::string& folder, unsigned count)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::time_t now = std::time(nullptr);
    KeptReminder kept;
    kept.received = LocalTimeAt(now);
    kept.received.second = 0;
    const unsigned long long first =
        static_cast<unsigned long long>(static_cast<long long>(now) + kSecondsFrom1601To1970
                                        - static_cast<long long>(kSecondsPerHour))
        * 10000000ULL;
    for (unsigned i = 0; i < count; ++i) {
        kept.deleteWhenDone = i % 2 == 1;
        kept.chip = BenchmarkChip(i, count, kSpreadMinutes);
        const std::vector<unsigned char> bytes = EncodeReminderFile(kept);
        char name[17];
        std::snprintf(name, sizeof name, "%016llx", first + i);
        // In the subfolder the program keeps it in; the separator is the folder's own.
        const std::string subfolder = folder + ReminderSubfolder(name) + folder.back();
        std::filesystem::create_directory(subfolder, error);
        const std::string path = subfolder + name + ".reminder";
        const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
            std::fprintf(stderr, "writing %s failed: %s\n", path.c_str(), std::strerror(errno));
            return false;
        }
    }
    return true;
}
