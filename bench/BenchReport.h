#pragma once
// The one line each benchmark prints per measured case, and the figure lines the bench suite
// (bench_suite, ./bench.sh) collects into its table.

#include <algorithm>
#include <cstdio>
#include <vector>

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline void Report(const char* name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms)
        sum += m;
    std::printf("%-32s median %7.2f ms   min %7.2f ms   mean %7.2f ms   (%zu runs)\n", name, ms[ms.size() / 2],
                ms.front(), sum / ms.size(), ms.size());
}

// One figure for the suite: a line "= key value" on standard output.
inline void Figure(const char* key, double value)
{
    std::printf("= %s %.6g\n", key, value);
    std::fflush(stdout);
}
