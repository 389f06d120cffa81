#pragma once

// Measures shared by the benchmarks: a monotonic clock, the CPU time and the peak and present
// resident memory of this process or of a child, the median and percentiles of a series, the
// platform the figures were taken on; and their plumbing: options, lines a child reports to its
// parent, the end of a child that its parent steers through standard input, a console's
// configuration folder, an event loop run for a time.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QSocketNotifier>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtGlobal>

#include <sys/resource.h>
#include <unistd.h>

namespace BenchSupport
{

inline qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// A "<field> <n> kB" line of /proc/<pid>/status ("VmHWM:", "VmRSS:"), of this process when pid
// is 0, or -1 when /proc cannot tell.
inline long statusKb(const char *field, qint64 pid = 0)
{
    char path[64];
    if (pid)
        std::snprintf(path, sizeof path, "/proc/%lld/status", static_cast<long long>(pid));
    else
        std::snprintf(path, sizeof path, "/proc/self/status");
    FILE *f = std::fopen(path, "r");
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

// This process's CPU time (user and system) so far in ms, to the microsecond.
inline double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// What a child process has used so far: CPU time (user and system, in clock ticks from
// /proc/<pid>/stat) in ms and peak resident memory in kB; -1 where /proc cannot tell (the
// process has ended).
struct Usage {
    double cpuMs = -1;
    long peakKb = -1;
};

inline Usage usageOf(qint64 pid)
{
    Usage usage;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        // Fields 14 and 15, counted after the command name in parentheses (field 2).
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        const qint64 ticks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
        usage.cpuMs = double(ticks) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
    }
    usage.peakKb = statusKb("VmHWM:", pid);
    return usage;
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

// The value at rank share x count of the sorted series (0.5: the median or the upper of the two
// middle values, 0.99: the 99th percentile), the largest for a share of 1; 0 for an empty
// series.
template <typename Container>
typename Container::value_type percentile(Container values, double share)
{
    if (values.empty())
        return typename Container::value_type();
    std::sort(values.begin(), values.end());
    const auto count = size_t(values.size());
    return values[std::min(count - 1, size_t(share * double(count)))];
}

// The Qt platform plugin named in the environment, or "default".
inline const char *platformName()
{
    static const QByteArray name = qgetenv("QT_QPA_PLATFORM");
    return name.isEmpty() ? "default" : name.constData();
}

// The number after the option's name in the arguments, or the fallback when it is not there.
inline int option(const QStringList &arguments, const QString &name, int fallback)
{
    const int at = arguments.indexOf(name);
    return at >= 0 ? arguments.value(at + 1).toInt() : fallback;
}

// A line on standard output, at once: the parent reads it while the child runs.
inline void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

inline void say(const char *line)
{
    say(QByteArray(line));
}

inline void say(const QString &line)
{
    say(line.toLocal8Bit());
}

// Makes <appDir>/config with links to the build's themes and pictures (bin/config/style and
// image), for a console whose configuration folder is appDir.
inline void makeConfigFolder(const QString &appDir)
{
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/config");
    const QDir dir(appDir);
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    for (const char *folder : {"style", "image"})
        QFile::link(installed + QLatin1Char('/') + QLatin1String(folder),
                    dir.filePath(QStringLiteral("config/") + QLatin1String(folder)));
}

// Runs the event loop for a time, with no wake-ups of its own.
inline void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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
