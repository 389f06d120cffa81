#pragma once

// Measures shared by the benchmarks: a monotonic clock, the process's peak and present resident
// memory, the median of a series, the platform the figures were taken on, and the end of a
// child that its parent steers through standard input.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <QByteArray>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtGlobal>

#include <unistd.h>

namespace BenchSupport
{

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

// The middle value, or the mean of the two middle values of an even count; any container with
// random access (std::vector, QVector). The series must not be empty.
template <typename Container>
typename Container::value_type median(Container values)
{
    std::sort(values.begin(), values.end());
    const auto mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// The Qt platform plugin named in the environment, or "default".
inline const char *platformName()
{
    static const QByteArray name = qgetenv("QT_QPA_PLATFORM");
    return name.isEmpty() ? "default" : name.constData();
}

// Quits the application when standard input reaches its end: the parent closes the pipe (or
// dies) to end the child.
inline void quitWhenInputEnds(QCoreApplication *app)
{
    auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, app);
    QObject::connect(input, &QSocketNotifier::activated, app, [input] {
        char buffer[64];
        if (::read(STDIN_FILENO, buffer, sizeof(buffer)) <= 0) {
            input->setEnabled(false);
            QCoreApplication::quit();
        }
    });
}

} // namespace BenchSupport
