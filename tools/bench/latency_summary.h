// Summaries of timed samples for the benchmarks' Markdown tables.
#pragma once

#include <string>
#include <vector>

struct LatencySummary {
    double min = 0, median = 0, p95 = 0, max = 0;
};

// The 95th percentile is the nearest rank (for 200 samples, the 190th).
LatencySummary Summarize(std::vector<double> samples);

// "4.5 ms": two decimals below 1 ms, one below 100 ms, none above.
std::string FormatMs(double ms);
