#pragma once

// Measures shared by the benchmarks that start children: a monotonic clock, the process's peak
// resident memory and the median of a series.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include <QtGlobal>

namespace BenchSupport {

inline qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// VmHWM in kB, or -1 when /proc cannot tell.
inline long peakKb()
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    }
    std::fclose(f);
    return kb;
}

template <typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace BenchSupport
