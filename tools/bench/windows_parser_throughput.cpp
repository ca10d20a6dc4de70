// Parser throughput of the Windows build, under Wine: on Windows the header
// keywords are matched with CompareStringA rather than the native build's
// ASCII folding, so the shipping parser is timed as well. Same documents and
// the same memchr baseline as parser_benchmark; each pass copies the pristine
// text into the working buffer untimed, parser and memchr passes alternate,
// and the median pass counts. Prints a Markdown table on stdout.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmark_documents.h"
#include "memchr_baseline.h"
#include "document/parse_program_info.h"

namespace {

constexpr std::size_t kBatchBytes = std::size_t{1} << 20;
constexpr int kPasses = 15;

volatile std::size_t sink;

double Seconds(LONGLONG ticks)
{
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void Parse(char* text, std::size_t)
{
    ProgramInfo info{};
    ParseProgramInfo(info, text);
    sink = sink + (info.body != nullptr);
}

// NOLINTNEXTLINE(readability-non-const-parameter): the parser's signature, for TimePass
void ScanForCarriageReturns(char* text, std::size_t length)
{
    const std::size_t count = CountCarriageReturns(text, length);
    sink = sink + count;
}

// Seconds for one pass over a batch of fresh copies.
double TimePass(const std::string& pristine, std::vector<char>& buffer, std::size_t copies,
                void (*scan)(char*, std::size_t))
{
    const std::size_t stride = pristine.size() + 1;
    for (std::size_t i = 0; i < copies; ++i) {
        std::memcpy(buffer.data() + i * stride, pristine.c_str(), stride);
    }
    LARGE_INTEGER start{};
    LARGE_INTEGER end{};
    QueryPerformanceCounter(&start);
    for (std::size_t i = 0; i < copies; ++i) {
        scan(buffer.data() + i * stride, pristine.size());
    }
    QueryPerformanceCounter(&end);
    return Seconds(end.QuadPart - start.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    struct Workload {
        const char* label;
        std::string text;
        const char* goal;
    };
    const Workload workloads[] = {
        {"1 KB document", SmallDocument(), "-"},
        {"1 MB header-heavy document", HeaderHeavyDocument(std::size_t{1} << 20), ">= 0.5"},
        {"100 MB body", LargeBodyDocument(std::size_t{100} << 20), "-"},
    };
    std::printf(
        "| Document | Bytes | ParseProgramInfo | memchr for CR | parser / memchr | Goal |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
    for (const Workload& workload : workloads) {
        const std::size_t copies =
            std::max<std::size_t>(1, kBatchBytes / (workload.text.size() + 1));
        std::vector<char> buffer(copies * (workload.text.size() + 1));
        std::vector<double> parse;
        std::vector<double> scan;
        for (int pass = 0; pass < kPasses; ++pass) {
            parse.push_back(TimePass(workload.text, buffer, copies, Parse));
            scan.push_back(TimePass(workload.text, buffer, copies, ScanForCarriageReturns));
        }
        const auto bytes = static_cast<double>(copies * workload.text.size());
        const double parseRate = bytes / Median(parse);
        const double scanRate = bytes / Median(scan);
        std::printf("| %s | %zu | %.0f MB/s | %.0f MB/s | %.3f | %s |\n", workload.label,
                    workload.text.size(), parseRate / 1e6, scanRate / 1e6, parseRate / scanRate,
                    workload.goal);
    }
    return 0;
}
