#pragma once
// Median and 99th percentile of single calls, as counters beside the mean
// Google Benchmark prints: a till cares about the slow presses, not the average.
// Each figure is also kept, so that a program can print at its end every
// lookup beside its baseline and their ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

struct Percentiles {
    double p50 = 0, p99 = 0;
};

// Figures by (what, catalogue size).
inline std::map<std::pair<std::string, int64_t>, Percentiles> &keptFigures()
{
    static std::map<std::pair<std::string, int64_t>, Percentiles> figures;
    return figures;
}

inline void reportPercentiles(benchmark::State &state, std::vector<double> micros, const std::string &what = {},
                              int64_t size = 0)
{
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    const auto at = [&](double q) { return micros[static_cast<size_t>(q * static_cast<double>(micros.size() - 1))]; };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    if (!what.empty())
        keptFigures()[{what, size}] = {at(0.50), at(0.99)};
}

// One line per lookup and size: its p50/p99 in milliseconds, its baseline's,
// and the ratio of the medians.
inline void printFiguresBesideBaselines(const std::vector<std::pair<std::string, std::string>> &lookupAndBaseline)
{
    std::printf("\n%-40s %9s %9s %9s %11s %11s %7s\n", "lookup", "articles", "p50 ms", "p99 ms", "base p50",
                "base p99", "ratio");
    for (const auto &[lookup, baseline] : lookupAndBaseline)
        for (const auto &[key, figure] : keptFigures()) {
            if (key.first != lookup)
                continue;
            const auto base = keptFigures().find({baseline, key.second});
            if (base == keptFigures().end())
                continue;
            std::printf("%-40s %9lld %9.2f %9.2f %11.3f %11.3f %6.2fx\n", lookup.c_str(),
                        static_cast<long long>(key.second), figure.p50 / 1000, figure.p99 / 1000,
                        base->second.p50 / 1000, base->second.p99 / 1000, figure.p50 / base->second.p50);
        }
}
