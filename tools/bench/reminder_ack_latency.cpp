// Acknowledgement time of loxa-reminder.exe with few and with many reminders
// kept, side by side in one run:
//
//   reminder_ack_latency FOLDER_FEW FOLDER_MANY [ROUNDS [POKES]]
//
// Each round starts the program on one folder (its own clock file beside
// the folder), waits until its DDE service answers, pokes POKES distinct
// chips in a row as loxa.exe pokes them (its own DDE instance and
// conversation per chip, a 1000 ms time-out) and ends the program; then the
// same on the other folder, the order alternating from round to round so
// that a changing load meets both alike. Before each start what an earlier
// round added is deleted, so each round finds the folder as it was. Times:
// the synchronous DdeClientTransaction (the acknowledgement), the whole
// send, and the start until the service answers. Markdown on stdout.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "benchmark_reminders.h"
#include "chip/chip_dde_names.h"
#include "latency_summary.h"
#include "reminder/chip_clipboard_format.h"
#include "reminder/send_chip_record.h"
#include "reminder_folder.h"
#include "reminder_program.h"
#include "win32/dde_handles.h"

namespace {

constexpr DWORD kPokeTimeoutMs = 1000;
constexpr DWORD kStartTimeoutMs = 180000;

struct Side {
    std::string folder; // with a trailing backslash
    std::string clockFile;
    std::string last; // the last name it held before the run
    std::size_t kept = 0;
    std::vector<double> acknowledgements, sends, starts;
    unsigned refusedOrLate = 0;
};

struct PokeTiming {
    double acknowledgementMs = 0;
    double sendMs = 0;
    bool accepted = false;
};

// The calls of loxa.exe's client, with the clock read around the transaction.
PokeTiming TimedPoke(const std::vector<unsigned char>& chip)
{
    PokeTiming timing;
    LARGE_INTEGER start{};
    LARGE_INTEGER sent{};
    LARGE_INTEGER acknowledged{};
    LARGE_INTEGER released{};
    QueryPerformanceCounter(&start);
    {
        DWORD id = 0;
        if (DdeInitializeA(&id, &ChipDdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
            std::fprintf(stderr, "DdeInitializeA failed\n");
            return timing;
        }
        const UniqueDdeInstance instance(id);
        const UniqueDdeString topic = MakeDdeString(id, kChipDdeTopic);
        const UniqueDdeString service = MakeDdeString(id, kChipDdeService);
        const UniqueDdeConversation conversation(
            DdeConnect(id, service.get(), topic.get(), nullptr));
        if (!conversation) {
            std::fprintf(stderr, "DdeConnect failed: DDE error %u\n", DdeGetLastError(id));
            return timing;
        }
        const UniqueDdeString item = MakeDdeString(id, "ChipBinary /R");
        HDDEDATA data = DdeCreateDataHandle(id, const_cast<unsigned char*>(chip.data()),
                                            static_cast<DWORD>(chip.size()), 0, item.get(),
                                            ChipClipboardFormat, 0);
        if (data == nullptr) {
            std::fprintf(stderr, "DdeCreateDataHandle failed: DDE error %u\n", DdeGetLastError(id));
            return timing;
        }
        QueryPerformanceCounter(&sent);
        HDDEDATA result = DdeClientTransaction(
            reinterpret_cast<LPBYTE>(data), static_cast<DWORD>(-1), conversation.get(), item.get(),
            ChipClipboardFormat, XTYP_POKE, kPokeTimeoutMs, nullptr);
        QueryPerformanceCounter(&acknowledged);
        const UINT error = DdeGetLastError(id);
        timing.accepted = result != nullptr && error == DMLERR_NO_ERROR;
        if (!timing.accepted) {
            std::fprintf(stderr, "poke not acknowledged: DDE error 0x%x\n", error);
        }
    }
    QueryPerformanceCounter(&released);
    timing.acknowledgementMs = ElapsedMs(sent, acknowledged);
    timing.sendMs = ElapsedMs(start, released);
    return timing;
}

// Seconds since 1970 (Wine reads the clock to the microsecond).
double WallSeconds()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

bool RunRound(Side& side, unsigned pokes, unsigned& chipIndex)
{
    DeleteRemindersAfter(side.folder, side.last);
    if (!WriteClockFile(side.clockFile)) {
        return false;
    }
    ReminderProgram program;
    if (!StartReminderProgram(side.folder.substr(0, side.folder.size() - 1), side.clockFile,
                              kStartTimeoutMs, program)) {
        return false;
    }
    side.starts.push_back(program.startMs);
    // The log marks the pokes in wall-clock seconds, for picking them out of
    // a profile taken with "perf record -k realtime".
    std::fprintf(stderr, "pokes %zu kept: from %.3f", side.kept, WallSeconds());
    for (unsigned i = 0; i < pokes; ++i) {
        const PokeTiming timing = TimedPoke(BenchmarkChip(chipIndex++, 1, 1));
        side.acknowledgements.push_back(timing.acknowledgementMs);
        side.sends.push_back(timing.sendMs);
        if (!timing.accepted || timing.acknowledgementMs > kPokeTimeoutMs) {
            ++side.refusedOrLate;
        }
    }
    std::fprintf(stderr, " to %.3f\n", WallSeconds());
    return CloseReminderProgram(program);
}

std::string KeptLabel(std::size_t kept)
{
    char text[32];
    if (kept >= 1000) {
        std::snprintf(text, sizeof text, "%zu %03zu", kept / 1000, kept % 1000);
    } else {
        std::snprintf(text, sizeof text, "%zu", kept);
    }
    return text;
}

void PrintRow(const Side& side, const std::vector<double>& samples, bool withRefused)
{
    const LatencySummary s = Summarize(samples);
    std::printf("| %s | %s | %s | %s | %s |", KeptLabel(side.kept).c_str(), FormatMs(s.min).c_str(),
                FormatMs(s.median).c_str(), FormatMs(s.p95).c_str(), FormatMs(s.max).c_str());
    if (withRefused) {
        std::printf(" %u of %zu |", side.refusedOrLate, samples.size());
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: reminder_ack_latency FOLDER_FEW FOLDER_MANY [ROUNDS [POKES]]\n");
        return 2;
    }
    const unsigned rounds =
        argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 5;
    const unsigned pokes =
        argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 40;
    RegisterChipClipboardFormat();
    Side sides[2];
    for (int i = 0; i < 2; ++i) {
        const std::string folder = argv[1 + i];
        sides[i].folder = folder + "\\";
        sides[i].clockFile = folder + ".clock.txt";
        const std::vector<std::string> names = ReminderNames(sides[i].folder);
        sides[i].kept = names.size();
        sides[i].last = names.empty() ? std::string() : names.back();
    }
    unsigned chipIndex = 0;
    for (unsigned round = 0; round < rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            Side& side = sides[(round + static_cast<unsigned>(i)) % 2];
            std::fprintf(stderr, "round %u: %zu kept\n", round + 1, side.kept);
            if (!RunRound(side, pokes, chipIndex)) {
                return 1;
            }
        }
    }
    for (const Side& side : sides) {
        DeleteRemindersAfter(side.folder, side.last);
    }

    std::printf(
        "Acknowledgement (the synchronous `DdeClientTransaction` of a poke), %u rounds of "
        "%u pokes each:\n\n",
        rounds, pokes);
    std::printf("| Reminders kept | min | median | 95th percentile | max | refused or late |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const Side& side : sides) {
        PrintRow(side, side.acknowledgements, true);
    }
    std::printf(
        "\nThe whole send (instance, connection, data, poke, release), as one "
        "registration costs loxa.exe:\n\n");
    std::printf("| Reminders kept | min | median | 95th percentile | max |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    for (const Side& side : sides) {
        PrintRow(side, side.sends, false);
    }
    std::printf(
        "\nStart until the service answers (reading the kept reminders), one per "
        "round:\n\n");
    std::printf("| Reminders kept | min | median | 95th percentile | max |\n");
    std::printf("|---|---:|---:|---:|---:|\n");
    for (const Side& side : sides) {
        PrintRow(side, side.starts, false);
    }
    return 0;
}
