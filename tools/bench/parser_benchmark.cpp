// Parser throughput: ParseProgramInfo against a plain memchr scan for CR over
// the same bytes, on a 1 KB document, a 1 MB header-heavy one and a 100 MB
// body. Prints Google Benchmark's own report on stderr and a Markdown table
// of the medians and their ratio on stdout.
//
// The parser writes NULs into its text, so each iteration first copies the
// pristine document into the working buffer with the timer paused; the memchr
// scan gets the same copy, so both read memory in the same cache state and
// only the scan itself is timed. Throughput is bytes per second of CPU time,
// which other processes on a busy machine disturb less than wall time. Small
// documents are scanned as a batch of copies per iteration, so that pausing
// the timer costs little against the work timed. The repetitions of all six
// run randomly interleaved, so a load that comes and goes meets parser and
// memchr alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "benchmark_documents.h"
#include "memchr_baseline.h"
#include "document/parse_program_info.h"

namespace {

constexpr std::size_t kBatchBytes = std::size_t{1} << 20;
constexpr int kRepetitions = 5;
constexpr double kMinSeconds = 0.2;

struct Workload {
    const char* key;
    const char* label;
    std::string text;
    const char* goal;
};

// Copies of one document, each with its NUL, refreshed before every pass.
class WorkingCopies {
public:
    explicit WorkingCopies(const std::string& pristine)
        : pristine_(pristine), stride_(pristine.size() + 1),
          count_(std::max<std::size_t>(1, kBatchBytes / stride_)), buffer_(count_ * stride_)
    {}
    void Refresh()
    {
        for (std::size_t i = 0; i < count_; ++i) {
            std::memcpy(Copy(i), pristine_.c_str(), stride_);
        }
    }
    char* Copy(std::size_t i) { return buffer_.data() + i * stride_; }
    std::size_t Count() const { return count_; }

private:
    const std::string& pristine_;
    std::size_t stride_;
    std::size_t count_;
    std::vector<char> buffer_;
};

void Parse(char* text, std::size_t)
{
    ProgramInfo info{};
    ParseProgramInfo(info, text);
    benchmark::DoNotOptimize(info);
}

// The baseline: find every CR, as a line splitter built on memchr would.
// NOLINTNEXTLINE(readability-non-const-parameter): the parser's signature, for RunScan
void ScanForCarriageReturns(char* text, std::size_t length)
{
    const std::size_t count = CountCarriageReturns(text, length);
    benchmark::DoNotOptimize(count);
}

void RunScan(benchmark::State& state, const std::string& pristine, void (*scan)(char*, std::size_t))
{
    WorkingCopies copies(pristine);
    for (auto _ : state) {
        state.PauseTiming();
        copies.Refresh();
        state.ResumeTiming();
        for (std::size_t i = 0; i < copies.Count(); ++i) {
            scan(copies.Copy(i), pristine.size());
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations())
                            * static_cast<std::int64_t>(copies.Count() * pristine.size()));
}

// Google Benchmark's console report, plus the median throughput of each run.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto rate = run.counters.find("bytes_per_second");
            if (run.aggregate_name == "median" && rate != run.counters.end()) {
                medians[run.run_name.function_name] = rate->second.value;
            }
        }
    }
    std::map<std::string, double> medians;
};

std::string Megabytes(double bytesPerSecond)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB/s", bytesPerSecond / 1e6);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<Workload> workloads;
    workloads.push_back({"small", "1 KB document", SmallDocument(), "-"});
    workloads.push_back({"header-heavy", "1 MB header-heavy document",
                         HeaderHeavyDocument(std::size_t{1} << 20), ">= 0.5"});
    workloads.push_back(
        {"large-body", "100 MB body", LargeBodyDocument(std::size_t{100} << 20), "-"});

    for (const Workload& workload : workloads) {
        const std::string& text = workload.text;
        benchmark::RegisterBenchmark(
            (std::string("parse/") + workload.key).c_str(),
            [&text](benchmark::State& state) { RunScan(state, text, Parse); })
            ->Repetitions(kRepetitions)
            ->MinTime(kMinSeconds)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(
            (std::string("memchr/") + workload.key).c_str(),
            [&text](benchmark::State& state) { RunScan(state, text, ScanForCarriageReturns); })
            ->Repetitions(kRepetitions)
            ->MinTime(kMinSeconds)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMicrosecond);
    }

    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string plain = "--benchmark_color=false";
    arguments.insert(arguments.begin() + 1, {interleave.data(), plain.data()});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 2;
    }
    MedianCollector collector;
    collector.SetOutputStream(&std::cerr);
    collector.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    std::printf(
        "| Document | Bytes | ParseProgramInfo | memchr for CR | parser / memchr | Goal |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    for (const Workload& workload : workloads) {
        const double parse = collector.medians[std::string("parse/") + workload.key];
        const double scan = collector.medians[std::string("memchr/") + workload.key];
        std::printf("| %s | %zu | %s | %s | %.2f | %s |\n", workload.label, workload.text.size(),
                    Megabytes(parse).c_str(), Megabytes(scan).c_str(),
                    scan > 0 ? parse / scan : 0.0, workload.goal);
    }
    return 0;
}
