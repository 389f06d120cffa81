// The console on a station that runs for weeks. Two figures, each from a console started as a
// process of its own with the program's start-up steps:
//   idle:  wake-ups (context switches of all its threads) and CPU time over a stretch in which
//          nothing happens;
//   soak:  resident memory and heap in use while a script switches the camera layout and the
//          theme over and over, at the start (after one full round) and at checkpoints.
//   bench_station [--idle-seconds N] [--soak-seconds N]    (both 60 by default)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <unistd.h>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "common/terminationwatcher.h"
#include "mainobject.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/camerapanel.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/theme/thememanager.h"

using BenchSupport::say;

namespace
{

constexpr int DefaultSeconds = 60;
constexpr int SettleMs = 5000; // after the first paint: animations and deferred work are over
constexpr int LayoutIntervalMs = 500;
constexpr int ThemeIntervalMs = 5000;
constexpr int Checkpoints = 6;
constexpr int MinCheckpointMs = 10000;
constexpr int ChildStartMs = 60000;
constexpr int Tiles = 16;

// Every layout the wall offers, as (type, first tile).
QList<QPair<int, int>> allLayouts(const CameraBox *box)
{
    QList<QPair<int, int>> layouts;
    for (int index = 0; index < Tiles; ++index)
        layouts.append({1, index});
    const QList<int> types = CameraBox::menuTypes();
    for (int type : types) {
        for (int index = 0; index < Tiles; ++index) {
            if (!box->layoutFor(type, index).isEmpty())
                layouts.append({type, index});
        }
    }
    return layouts;
}

// The program's start-up steps with a configuration folder of its own (the script's layout
// changes are written to it) that reads the build's themes and pictures.
int runConsole(int argc, char *argv[], int soakSeconds)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(
        argc, argv, false, UniqueApplication::PerUser, 1000,
        QStringLiteral("bench-station-%1").arg(QCoreApplication::applicationPid()));
    QTemporaryDir appDir;
    BenchSupport::makeConfigFolder(appDir.path());
    SetupConfig::instance()->setAppDir(appDir.path());

    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);
    BenchSupport::quitWhenInputEnds(&app);
    mainObject.showMainWindow();

    CameraBox *box = mainObject.mainWindow()->cameraPanel()->cameraBox();
    const QList<QPair<int, int>> layouts = allLayouts(box);
    const QStringList themes = ThemeManager::themeNames();
    int step = 0;
    int theme = 0;
    QTimer layoutTimer;
    QTimer themeTimer;
    QTimer checkpointTimer;
    QElapsedTimer soaking;
    QObject::connect(&layoutTimer, &QTimer::timeout, [&] {
        const QPair<int, int> layout = layouts.at(step++ % layouts.size());
        box->showCamera(layout.first, layout.second);
    });
    QObject::connect(&themeTimer, &QTimer::timeout,
                     [&] { ThemeManager::applyTheme(themes.at(theme++ % themes.size())); });
    auto report = [&] {
        // Small blocks from the heap and large ones mapped one by one.
        const struct mallinfo2 heap = mallinfo2();
        say(QByteArray("rss ") + QByteArray::number(soaking.elapsed() / 1000) + ' ' +
            QByteArray::number(qint64(BenchSupport::statusKb("VmRSS:"))) + ' ' +
            QByteArray::number(qint64((heap.uordblks + heap.hblkhd) / 1024)) + ' ' +
            QByteArray::number(qint64(std::clock() / (CLOCKS_PER_SEC / 1000))));
    };
    checkpointTimer.setTimerType(Qt::PreciseTimer); // the last one must not come early
    QObject::connect(&checkpointTimer, &QTimer::timeout, [&] {
        report();
        if (soaking.elapsed() >= qint64(soakSeconds) * 1000)
            QCoreApplication::quit();
    });

    QTimer::singleShot(SettleMs, &app, [&] {
        if (soakSeconds <= 0) {
            say("ready");
            return;
        }
        // One full round of layouts and themes first: what it allocates once is no growth.
        for (const QPair<int, int> &layout : layouts) {
            box->showCamera(layout.first, layout.second);
            QCoreApplication::processEvents();
        }
        for (const QString &name : themes) {
            ThemeManager::applyTheme(name);
            QCoreApplication::processEvents();
        }
        soaking.start();
        report();
        layoutTimer.start(LayoutIntervalMs);
        themeTimer.start(ThemeIntervalMs);
        checkpointTimer.start(qMax(MinCheckpointMs, soakSeconds * 1000 / Checkpoints));
    });
    return app.exec();
}

// Per thread: voluntary context switches (the thread slept and was woken) and nonvoluntary
// ones (it was preempted).
struct Switches {
    qint64 voluntary = 0;
    qint64 preempted = 0;
};

struct Load {
    QMap<QString, Switches> threads; // by thread id
    double cpuMs = 0;                // of the whole process
};

Load loadOf(qint64 pid)
{
    Load load;
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    const QStringList tasks =
        QDir(proc + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile status(proc + QStringLiteral("/task/") + task + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        Switches &switches = load.threads[task];
        const QList<QByteArray> lines = status.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("voluntary_ctxt_switches:"))
                switches.voluntary = line.split(':').value(1).trimmed().toLongLong();
            else if (line.startsWith("nonvoluntary_ctxt_switches:"))
                switches.preempted = line.split(':').value(1).trimmed().toLongLong();
        }
    }
    // An ended process counts no CPU, as it counts no threads.
    load.cpuMs = qMax(0.0, BenchSupport::usageOf(pid).cpuMs);
    return load;
}

bool measureIdle(const QString &self, int seconds)
{
    if (seconds <= 0)
        return true;
    QProcess console;
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(self, {QStringLiteral("--console"), QStringLiteral("0")});
    if (!console.waitForReadyRead(ChildStartMs) || !console.readAll().contains("ready")) {
        std::printf("the console did not start\n");
        return false;
    }
    const QString mainThread = QString::number(console.processId());
    const Load before = loadOf(console.processId());
    ::sleep(unsigned(seconds));
    const Load after = loadOf(console.processId());
    console.closeWriteChannel();
    console.waitForFinished(ChildStartMs);

    // Threads that ended in between took their counts with them; new ones count whole.
    Switches all;
    int ended = 0;
    for (auto it = before.threads.cbegin(); it != before.threads.cend(); ++it)
        ended += after.threads.contains(it.key()) ? 0 : 1;
    for (auto it = after.threads.cbegin(); it != after.threads.cend(); ++it) {
        const Switches earlier = before.threads.value(it.key());
        all.voluntary += it->voluntary - earlier.voluntary;
        all.preempted += it->preempted - earlier.preempted;
    }
    const qint64 gui =
        after.threads.value(mainThread).voluntary - before.threads.value(mainThread).voluntary;
    const double cpuMs = after.cpuMs - before.cpuMs;
    std::printf("idle %d s: GUI thread %lld wake-ups; all %d threads %lld wake-ups, %lld "
                "preemptions (%d threads ended meanwhile); CPU %.0f ms\n",
                seconds, gui, int(after.threads.size()), all.voluntary, all.preempted, ended,
                cpuMs);
    std::printf("idle per minute: GUI thread %.1f wake-ups, all threads %.1f, CPU %.1f ms\n",
                double(gui) * 60 / seconds, double(all.voluntary) * 60 / seconds,
                cpuMs * 60 / seconds);
    return true;
}

bool soak(const QString &self, int seconds)
{
    if (seconds <= 0)
        return true;
    std::printf("soak %d s: a layout switch every %d ms, a theme change every %d ms\n", seconds,
                LayoutIntervalMs, ThemeIntervalMs);
    std::printf("%10s %12s %14s %12s\n", "elapsed s", "VmRSS kB", "heap in use kB", "CPU ms");
    std::fflush(stdout);
    QProcess console;
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(self, {QStringLiteral("--console"), QString::number(seconds)});
    long first = -1;
    long last = -1;
    QByteArray pending;
    while (console.waitForReadyRead(seconds * 1000 + ChildStartMs)) {
        pending += console.readAll();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            pending.remove(0, end + 1);
            if (words.value(0) != "rss")
                continue;
            last = words.value(2).toLong();
            if (first < 0)
                first = last;
            std::printf("%10s %12s %14s %12s\n", words.value(1).constData(),
                        words.value(2).constData(), words.value(3).constData(),
                        words.value(4).constData());
            std::fflush(stdout);
        }
    }
    console.waitForFinished(ChildStartMs);
    if (first < 0)
        return false;
    std::printf("resident memory: %ld kB at the start, %ld kB at the end (%+ld kB)\n", first, last,
                last - first);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv, std::atoi(argv[2]));

    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    // The consoles' socket and lock files go to a folder that goes away with the benchmark;
    // it stands in for the session's runtime folder.
    QTemporaryDir runtime;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    std::printf("platform: %s\n", BenchSupport::platformName());
    const QString self = QCoreApplication::applicationFilePath();
    const bool idle = measureIdle(
        self, BenchSupport::option(arguments, QStringLiteral("--idle-seconds"), DefaultSeconds));
    const bool soaked = soak(
        self, BenchSupport::option(arguments, QStringLiteral("--soak-seconds"), DefaultSeconds));
    return idle && soaked ? 0 : 1;
}
