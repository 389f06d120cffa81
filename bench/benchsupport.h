#pragma once

// Measures shared by the benchmarks that start children: a monotonic clock, the process's peak
// and present resident memory and the median of a series.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// A "<field> <n> kB" line of /proc/self/status ("VmHWM:", "VmRSS:"), or -1 when /proc cannot
// tell.
inline long statusKb(const char *field)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, length) == 0) {
            kb = std::strtol(line + length, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

// The peak resident memory in kB.
inline long peakKb()
{
    return statusKb("VmHWM:");
}

template <typename T>
T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace BenchSupport
