// The benchmarks' report line, which tools/bench-report reads: a median of
// several runs with the range they spread over.
#ifndef QUILLET_BENCH_FIGURES_H
#define QUILLET_BENCH_FIGURES_H

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Values are multiplied by scale (seconds to milliseconds, say) as printed.
inline void Report(const std::string &what, const std::vector<double> &values, const char *unit, double scale = 1)
{
    auto [low, high] = std::minmax_element(values.begin(), values.end());
    printf("  %-34s %9.1f %s  (%.1f to %.1f)\n", what.c_str(), Median(values) * scale, unit, *low * scale,
           *high * scale);
}

#endif
