#include "latency_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

LatencySummary Summarize(std::vector<double> samples)
{
    LatencySummary summary;
    if (samples.empty()) {
        return summary;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    summary.min = samples.front();
    summary.max = samples.back();
    summary.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
    summary.p95 = samples[std::max<std::size_t>(rank, 1) - 1];
    return summary;
}

std::string FormatMs(double ms)
{
    char text[32];
    const char* format = ms < 1 ? "%.2f ms" : ms < 100 ? "%.1f ms" : "%.0f ms";
    std::snprintf(text, sizeof text, format, ms);
    return text;
}
