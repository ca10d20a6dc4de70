// What each file call of a reminder write costs in a folder of few and of
// many files, under Wine:
//
//   folder_io_cost FOLDER_FEW FOLDER_MANY [ROUNDS]
//
// Each round does, in one folder and then the other (the order alternating),
// the calls of one write of the program with fresh names, each timed alone:
// the look-up of a name that does not exist, CreateFileA of a new file,
// WriteFile and FlushFileBuffers of a reminder's bytes with CloseHandle,
// MoveFileExA (REPLACE_EXISTING | WRITE_THROUGH) onto a name that does not
// exist yet, the same onto a name that exists, and DeleteFileA. Markdown on
// stdout; the files it made are gone afterwards.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchmark_reminders.h"
#include "latency_summary.h"
#include "loxa_reminder/reminder_file.h"
#include "reminder_folder.h"
#include "reminder_program.h"
#include "win32/unique_resource.h"

namespace {

enum Step { kLookUp, kCreate, kWrite, kRenameNew, kRenameOver, kDelete, kSteps };

const char* const kStepNames[kSteps] = {
    "`GetFileAttributesA` of a name that does not exist",
    "`CreateFileA` (`CREATE_ALWAYS`) of a new file",
    "`WriteFile` of a reminder file + `FlushFileBuffers` + `CloseHandle`",
    "`MoveFileExA` onto a name that does not exist",
    "`MoveFileExA` onto a name that exists",
    "`DeleteFileA`",
};

struct Side {
    std::string folder; // with a trailing backslash
    std::size_t files = 0;
    std::vector<double> samples[kSteps];
};

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Ms() const
    {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return ElapsedMs(start_, now);
    }

private:
    LARGE_INTEGER start_{};
};

bool Fail(const char* call, const std::string& path)
{
    std::fprintf(stderr, "%s(%s) failed: error %lu\n", call, path.c_str(), GetLastError());
    return false;
}

// Writes `path` as the program does, timing creation and writing apart.
bool WriteFileTimed(const std::string& path, const std::vector<unsigned char>& bytes,
                    double* createMs, double* writeMs)
{
    Stopwatch create;
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (createMs != nullptr) {
        *createMs = create.Ms();
    }
    if (!file) {
        return Fail("CreateFileA", path);
    }
    Stopwatch write;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
        || !FlushFileBuffers(file.get())) {
        return Fail("WriteFile/FlushFileBuffers", path);
    }
    file.reset();
    if (writeMs != nullptr) {
        *writeMs = write.Ms();
    }
    return true;
}

bool Round(Side& side, unsigned round, const std::vector<unsigned char>& bytes)
{
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    char name[32];
    // Named as the program names its files, after every kept one.
    std::snprintf(name, sizeof name, "ffffff%010x", round);
    const std::string base = side.folder + name;
    const std::string temporary = base + ".tmp";
    const std::string target = base + ".reminder";
    double ms[kSteps] = {};

    Stopwatch lookUp;
    const DWORD attributes = GetFileAttributesA(temporary.c_str());
    ms[kLookUp] = lookUp.Ms();
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return Fail("GetFileAttributesA (the name exists)", temporary);
    }
    if (!WriteFileTimed(temporary, bytes, &ms[kCreate], &ms[kWrite])) {
        return false;
    }
    Stopwatch renameNew;
    if (!MoveFileExA(temporary.c_str(), target.c_str(), kMove)) {
        return Fail("MoveFileExA", target);
    }
    ms[kRenameNew] = renameNew.Ms();
    if (!WriteFileTimed(temporary, bytes, nullptr, nullptr)) {
        return false;
    }
    Stopwatch renameOver;
    if (!MoveFileExA(temporary.c_str(), target.c_str(), kMove)) {
        return Fail("MoveFileExA (over)", target);
    }
    ms[kRenameOver] = renameOver.Ms();
    Stopwatch remove;
    if (!DeleteFileA(target.c_str())) {
        return Fail("DeleteFileA", target);
    }
    ms[kDelete] = remove.Ms();
    for (int step = 0; step < kSteps; ++step) {
        side.samples[step].push_back(ms[step]);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: folder_io_cost FOLDER_FEW FOLDER_MANY [ROUNDS]\n");
        return 2;
    }
    const unsigned rounds =
        argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 100;
    Side sides[2];
    for (int i = 0; i < 2; ++i) {
        sides[i].folder = std::string(argv[1 + i]) + "\\";
        sides[i].files = ReminderNames(sides[i].folder).size();
    }
    KeptReminder kept;
    kept.chip = BenchmarkChip(0, 1, 1);
    const std::vector<unsigned char> bytes = EncodeReminderFile(kept);
    for (unsigned round = 0; round < rounds; ++round) {
        for (unsigned i = 0; i < 2; ++i) {
            if (!Round(sides[(round + i) % 2], round, bytes)) {
                return 1;
            }
        }
    }
    std::printf("%u rounds; median [95th percentile] per call, and the median's difference:\n\n",
                rounds);
    std::printf("| Call | %zu files in the folder | %zu files in the folder | difference |\n",
                sides[0].files, sides[1].files);
    std::printf("|---|---:|---:|---:|\n");
    double total[2] = {};
    for (int step = 0; step < kSteps; ++step) {
        const LatencySummary few = Summarize(sides[0].samples[step]);
        const LatencySummary many = Summarize(sides[1].samples[step]);
        std::printf("| %s | %s [%s] | %s [%s] | %+.2f ms |\n", kStepNames[step],
                    FormatMs(few.median).c_str(), FormatMs(few.p95).c_str(),
                    FormatMs(many.median).c_str(), FormatMs(many.p95).c_str(),
                    many.median - few.median);
        if (step == kCreate || step == kWrite || step == kRenameNew) {
            total[0] += few.median;
            total[1] += many.median;
        }
    }
    std::printf(
        "| one write of the program (create, write, rename onto a new name) | %s | %s | "
        "%+.2f ms |\n",
        FormatMs(total[0]).c_str(), FormatMs(total[1]).c_str(), total[1] - total[0]);
    return 0;
}
