// Launch latency under Wine: loxa.exe against a minimal program showing the
// same kind of window at once, started side by side in one run.
//
//   launch_latency RUNS DOCUMENT
//
// Every round times, for each window, one start of loxa.exe and one of
// minimal_window.exe (beside this program), in alternating order. DOCUMENT
// (a Windows path) is the document loxa.exe opens for the dialog and the
// menu. For the menu the record_dump plug-in is listed under
// HKCU\SOFTWARE\Loxa; the list is removed again for the others. Prints a
// Markdown table of the medians on stdout; exit code 1 when a start failed.
//
// For breaking a difference down, three environment variables change what is
// compared: LOXA_BENCH_WINDOWS lists the windows to time (any of "box",
// "dialog", "template", "menu", comma-separated; default all), LOXA_BENCH_LOXA and
// LOXA_BENCH_MINIMAL name other programs beside this one to start in place of
// loxa.exe and minimal_window.exe (a scratch build, a variant).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "timed_launch.h"
#include "win32/unique_resource.h"

namespace {

constexpr char kHandlerList[] = "SOFTWARE\\Loxa";
constexpr char kHandlerName[] = "Bench";
constexpr int kTriesPerLaunch = 3;

struct Scenario {
    const char* name; // as LOXA_BENCH_WINDOWS lists it
    const char* label;
    LaunchTarget loxa;
    LaunchTarget minimal;
    bool listsPlugin;
    std::vector<double> loxaTimes;
    std::vector<double> minimalTimes;
    std::vector<double> loxaServerCpu; // see TimeLaunch; empty when not measured
    std::vector<double> minimalServerCpu;
};

std::string EnvironmentOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

bool Selected(const std::string& list, const char* name)
{
    return ("," + list + ",").find("," + std::string(name) + ",") != std::string::npos;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1);
}

bool SetPluginListed(bool listed, const std::string& pluginPath)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kHandlerList);
    if (!listed) {
        return true;
    }
    UniqueKey handler;
    const std::string subkey = std::string(kHandlerList) + "\\" + kHandlerName;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        handler.put(), nullptr)
        != ERROR_SUCCESS) {
        handler.release();
        return false;
    }
    return RegSetValueExA(handler.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(pluginPath.c_str()),
                          static_cast<DWORD>(pluginPath.size() + 1))
           == ERROR_SUCCESS;
}

// A start that fails (a rare Wine hiccup under load) is tried again; the
// failures are counted and reported.
bool TimeWithRetries(const LaunchTarget& target, std::vector<double>* times,
                     std::vector<double>* serverCpu, int& failures)
{
    for (int attempt = 0; attempt < kTriesPerLaunch; ++attempt) {
        double serverMs = -1;
        const double ms = TimeLaunch(target, &serverMs);
        if (ms >= 0) {
            if (times) {
                times->push_back(ms);
            }
            if (serverCpu && serverMs >= 0) {
                serverCpu->push_back(serverMs);
            }
            return true;
        }
        ++failures;
        std::fprintf(stderr, "launch_latency: no window or no exit: %s\n",
                     target.commandLine.c_str());
    }
    return false;
}

// The value at fraction q (0 to 1) of the sorted values, interpolated.
double Quantile(std::vector<double> values, double q)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - static_cast<double>(below)) * (values[above] - values[below]);
}

double Median(const std::vector<double>& values)
{
    return Quantile(values, 0.5);
}

std::vector<double> Differences(const std::vector<double>& loxa, const std::vector<double>& minimal)
{
    std::vector<double> differences;
    for (std::size_t i = 0; i < loxa.size() && i < minimal.size(); ++i) {
        differences.push_back(loxa[i] - minimal[i]);
    }
    return differences;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 20;
    if (argc < 3 || runs < 1) {
        std::fprintf(stderr, "usage: launch_latency RUNS DOCUMENT\n");
        return 2;
    }
    const std::string document = argv[2];
    const std::string folder = ProgramFolder();
    const std::string loxa = "\"" + folder + EnvironmentOr("LOXA_BENCH_LOXA", "loxa.exe") + "\"";
    const std::string minimal =
        "\"" + folder + EnvironmentOr("LOXA_BENCH_MINIMAL", "minimal_window.exe") + "\"";
    const std::string windows = EnvironmentOr("LOXA_BENCH_WINDOWS", "box,dialog,template,menu");
    const std::string plugin = folder + "record_dump.dll";

    std::vector<Scenario> scenarios = {
        {"box",
         "usage message box (empty tail)",
         {loxa, WindowKind::Box, "Loxa"},
         {minimal + " box", WindowKind::Box, "Minimal"},
         false,
         {},
         {},
         {},
         {}},
        {"dialog",
         "program data dialog (sample document)",
         {loxa + " " + document, WindowKind::Dialog, "番組データ"},
         {minimal + " dialog", WindowKind::Dialog, "最小の画面"},
         false,
         {},
         {},
         {},
         {}},
        {"template",
         "program data dialog, the minimal program showing the same template",
         {loxa + " " + document, WindowKind::Dialog, "番組データ"},
         {minimal + " template", WindowKind::Dialog, "番組データ"},
         false,
         {},
         {},
         {},
         {}},
        {"menu",
         "handler menu (sample document, one plug-in listed)",
         {loxa + " " + document, WindowKind::Menu, nullptr},
         {minimal + " menu", WindowKind::Menu, nullptr},
         true,
         {},
         {},
         {},
         {}},
    };
    scenarios.erase(std::remove_if(scenarios.begin(), scenarios.end(),
                                   [&](const Scenario& s) { return !Selected(windows, s.name); }),
                    scenarios.end());

    int failures = 0;
    bool complete = true;
    // Round 0 warms Wine's caches up and is not counted.
    for (int round = 0; round <= runs && complete; ++round) {
        for (Scenario& scenario : scenarios) {
            if (!SetPluginListed(scenario.listsPlugin, plugin)) {
                std::fprintf(stderr, "launch_latency: cannot list the plug-in\n");
                return 1;
            }
            const bool loxaFirst = round % 2 == 0;
            for (int turn = 0; turn < 2 && complete; ++turn) {
                const bool isLoxa = (turn == 0) == loxaFirst;
                std::vector<double>* times = round == 0 ? nullptr
                                             : isLoxa   ? &scenario.loxaTimes
                                                        : &scenario.minimalTimes;
                std::vector<double>* serverCpu = round == 0 ? nullptr
                                                 : isLoxa   ? &scenario.loxaServerCpu
                                                            : &scenario.minimalServerCpu;
                complete = TimeWithRetries(isLoxa ? scenario.loxa : scenario.minimal, times,
                                           serverCpu, failures);
            }
        }
    }
    SetPluginListed(false, plugin);
    if (!complete) {
        return 1;
    }

    // The two starts of a round follow each other, so the median of the
    // rounds' differences is less disturbed by a load that changes from round
    // to round than the difference of the medians; its quartiles give the
    // spread.
    std::printf(
        "| Window | Runs | loxa.exe (median) | minimal program (median) | loxa / minimal "
        "| difference per round: median [quartiles] | Goal |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---|\n");
    for (const Scenario& scenario : scenarios) {
        const double loxaMedian = Median(scenario.loxaTimes);
        const double minimalMedian = Median(scenario.minimalTimes);
        const std::vector<double> differences =
            Differences(scenario.loxaTimes, scenario.minimalTimes);
        // The template row breaks the dialog's difference down; it has no goal.
        const bool hasGoal = std::strcmp(scenario.name, "template") != 0;
        std::printf("| %s | %zu | %.1f ms | %.1f ms | %.2f | %+.1f ms [%+.1f, %+.1f] | %s |\n",
                    scenario.label, scenario.loxaTimes.size(), loxaMedian, minimalMedian,
                    minimalMedian > 0 ? loxaMedian / minimalMedian : 0.0, Median(differences),
                    Quantile(differences, 0.25), Quantile(differences, 0.75),
                    hasGoal ? "<= 1.2" : "-");
    }
    if (!scenarios.empty() && !scenarios.front().loxaServerCpu.empty()) {
        std::printf(
            "\nCPU time of the wineserver and the X server from each start to its window:\n\n");
        std::printf(
            "| Window | loxa.exe (median) | minimal program (median) "
            "| difference per round: median [quartiles] |\n");
        std::printf("|---|---:|---:|---:|\n");
        for (const Scenario& scenario : scenarios) {
            const std::vector<double> differences =
                Differences(scenario.loxaServerCpu, scenario.minimalServerCpu);
            std::printf("| %s | %.1f ms | %.1f ms | %+.1f ms [%+.1f, %+.1f] |\n", scenario.name,
                        Median(scenario.loxaServerCpu), Median(scenario.minimalServerCpu),
                        Median(differences), Quantile(differences, 0.25),
                        Quantile(differences, 0.75));
        }
    }
    if (failures > 0) {
        std::printf("\n%d start(s) failed and were repeated.\n", failures);
    }
    return 0;
}
