#pragma once
// Median and 99th percentile of single calls, as counters beside the mean
// Google Benchmark prints: a till cares about the slow presses, not the average.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline void reportPercentiles(benchmark::State &state, std::vector<double> micros)
{
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) { return micros[static_cast<size_t>(q * static_cast<double>(micros.size() - 1))]; };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
}
