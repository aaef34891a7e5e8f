#pragma once
// The one line each benchmark prints per measured case.

#include <algorithm>
#include <cstdio>
#include <vector>

inline void Report(const char* name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms)
        sum += m;
    std::printf("%-32s median %7.2f ms   min %7.2f ms   mean %7.2f ms   (%zu runs)\n", name, ms[ms.size() / 2],
                ms.front(), sum / ms.size(), ms.size());
}
