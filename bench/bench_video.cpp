// Live video on the camera wall, against the decoding alone. The test RTSP server (tools/
// rtspserver) serves generated H.264 streams on 127.0.0.1; in the same run, over the same
// stretch each:
//   baseline: gst-launch-1.0 decoding the same streams to fakesink, as a process of its own;
//   console:  the console's start-up steps in a process of its own, the streams on the wall.
// Figures: CPU time and peak resident memory of both; frames painted per second per tile (and
// how many of the decoded ones that is); the time from a frame's decode to its paint, median
// and 99th percentile. Cases: sixteen tiles of 640x360 at 25 fps; one 1920x1080 stream shown
// alone. Then a soak: the sixteen streams with the server restarted every 30 s, resident
// memory, descriptors and threads of the console at each restart.
//   bench_video [--seconds N] [--soak-seconds N] [--restart-seconds N]
//   (20, 600 and 30 by default; 0 seconds leaves that part out)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

#include <unistd.h>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "mainobject.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/video/videoview.h"
#include "video/gstruntime.h"
#include "video/videochannel.h"
#include "video/videochannelset.h"

using BenchSupport::option;
using BenchSupport::say;

namespace
{

constexpr int DefaultSeconds = 20;
constexpr int DefaultSoakSeconds = 600;
constexpr int DefaultRestartSeconds = 30;
// After every channel plays: decoders and caches have settled.
constexpr int SettleMs = 3000;
constexpr int ChildStartMs = 120000;
constexpr int WallTiles = 16;
constexpr int FramesPerSecond = 25;

int entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

// The console with its channels in a configuration folder of its own that reads the build's
// themes and pictures.
//   --console <seconds> <alone> <url> ...  measures for that long once every channel plays;
//                                          0 seconds: reports once a restart-second until its
//                                          input ends (the soak).
int runConsole(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(argc, argv, false, UniqueApplication::PerUser, 1000,
                          QStringLiteral("bench-video-%1").arg(QCoreApplication::applicationPid()));
    const QStringList arguments = QCoreApplication::arguments();
    const int seconds = arguments.value(2).toInt();
    const bool alone = arguments.value(3) == QLatin1String("alone");
    const QStringList urls = arguments.mid(4);

    QTemporaryDir appDir;
    BenchSupport::makeConfigFolder(appDir.path());
    QFile ini(appDir.filePath(QStringLiteral("config/SetupConfig.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return 1;
    ini.write("[Camera]\nType=16\nIndex=0\n");
    for (int i = 0; i < urls.size(); ++i)
        ini.write(QStringLiteral("[Channel%1]\nSource=%2\n")
                      .arg(i + 1, 2, 10, QLatin1Char('0'))
                      .arg(urls.at(i))
                      .toUtf8());
    ini.close();
    SetupConfig::instance()->setAppDir(appDir.path());

    GstRuntime gstRuntime;
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    BenchSupport::quitWhenInputEnds(&app);
    mainObject.showMainWindow();

    MainWindow *window = mainObject.mainWindow();
    const QList<VideoChannel *> channels = window->channels()->channels();
    const QList<CameraDisplay *> tiles = window->cameraPanel()->tiles();
    if (alone) {
        // A double click on the first tile, as the operator shows it alone.
        QTimer::singleShot(0, &app, [&tiles] {
            QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(10, 10), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(tiles.first(), &click);
        });
    }

    struct TileStats {
        qint64 painted = 0;
        quint64 firstSerial = 0;
        quint64 lastSerial = 0;
    };
    std::vector<TileStats> stats(size_t(urls.size()));
    std::vector<qint64> latenciesNs;
    bool measuring = false;
    for (int i = 0; i < urls.size(); ++i) {
        QObject::connect(tiles.at(i)->videoView(), &VideoView::framePainted,
                         [&, i](quint64 serial, qint64 decodedNs) {
                             if (!measuring)
                                 return;
                             TileStats &tile = stats[size_t(i)];
                             if (!tile.firstSerial)
                                 tile.firstSerial = serial;
                             tile.lastSerial = serial;
                             ++tile.painted;
                             latenciesNs.push_back(BenchSupport::monotonicNs() - decodedNs);
                         });
    }

    double cpuBefore = 0;
    QElapsedTimer stretch;
    auto finish = [&] {
        const double cpuAfter = BenchSupport::cpuMs();
        const double elapsedS = stretch.elapsed() / 1000.0;
        measuring = false;
        double paintedPerSecond = 0;
        double share = 0;
        double slowest = 1e9;
        for (const TileStats &tile : stats) {
            const double perSecond = tile.painted / elapsedS;
            paintedPerSecond += perSecond;
            slowest = qMin(slowest, perSecond);
            const quint64 decoded = tile.lastSerial - tile.firstSerial + 1;
            share += tile.painted ? double(tile.painted) / double(decoded) : 0;
        }
        const auto percentileMs = [&](double share) {
            return BenchSupport::percentile(latenciesNs, share) / 1e6;
        };
        say(QByteArray("result ") + QByteArray::number(cpuAfter - cpuBefore, 'f', 0) + ' ' +
            QByteArray::number(elapsedS, 'f', 2) + ' ' +
            QByteArray::number(paintedPerSecond / double(stats.size()), 'f', 1) + ' ' +
            QByteArray::number(slowest, 'f', 1) + ' ' +
            QByteArray::number(100.0 * share / double(stats.size()), 'f', 1) + ' ' +
            QByteArray::number(percentileMs(0.5), 'f', 1) + ' ' +
            QByteArray::number(percentileMs(0.99), 'f', 1) + ' ' +
            QByteArray::number(qint64(BenchSupport::peakKb())));
        QCoreApplication::quit();
    };
    auto report = [&] {
        int playing = 0;
        for (const VideoChannel *channel : channels)
            playing += channel->state() == VideoChannel::State::Playing;
        say(QByteArray("soak ") + QByteArray::number(stretch.elapsed() / 1000) + ' ' +
            QByteArray::number(qint64(BenchSupport::statusKb("VmRSS:"))) + ' ' +
            QByteArray::number(entriesIn(QStringLiteral("/proc/self/fd"))) + ' ' +
            QByteArray::number(entriesIn(QStringLiteral("/proc/self/task"))) + ' ' +
            QByteArray::number(playing));
    };

    QTimer waitForPictures;
    QTimer reports;
    QObject::connect(&waitForPictures, &QTimer::timeout, [&] {
        for (const VideoChannel *channel : channels) {
            if (channel->state() != VideoChannel::State::Playing)
                return;
        }
        waitForPictures.stop();
        QTimer::singleShot(SettleMs, &app, [&] {
            say("ready");
            stretch.start();
            if (seconds <= 0) {
                report();
                reports.start(DefaultRestartSeconds * 1000 / 2);
                return;
            }
            cpuBefore = BenchSupport::cpuMs();
            measuring = true;
            QTimer::singleShot(seconds * 1000, &app, finish);
        });
    });
    QObject::connect(&reports, &QTimer::timeout, report);
    waitForPictures.start(100);
    return app.exec();
}

struct Figures {
    double cpuMs = 0;
    double seconds = 0;
    long peakKb = 0;
    double paintedPerTile = 0;
    double slowestTile = 0;
    double paintedShare = 0;
    double medianMs = 0;
    double p99Ms = 0;
};

// tools/rtspserver, on a port of its own choosing the first time and the same one after.
class Server
{
public:
    bool start(const QStringList &arguments)
    {
        m_arguments = arguments;
        return restart();
    }
    bool restart()
    {
        for (int attempt = 0; attempt < 50; ++attempt) {
            m_process.reset(new QProcess);
            m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_process->start(QStringLiteral(BENCH_RTSP_SERVER),
                             m_arguments +
                                 QStringList{QStringLiteral("--port"), QString::number(m_port)});
            if (m_process->waitForReadyRead(ChildStartMs)) {
                const QByteArray line = m_process->readLine().trimmed();
                if (line.startsWith("PORT ")) {
                    m_port = line.mid(5).toInt();
                    return true;
                }
            }
            m_process->waitForFinished();
            ::usleep(200000);
        }
        return false;
    }
    void stop()
    {
        if (!m_process)
            return;
        m_process->terminate();
        m_process->waitForFinished();
    }
    QStringList urls(int count) const
    {
        QStringList list;
        for (int i = 1; i <= count; ++i)
            list << QStringLiteral("rtsp://127.0.0.1:%1/stream%2").arg(m_port).arg(i);
        return list;
    }

private:
    QStringList m_arguments;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};

// gst-launch-1.0 decoding every stream to fakesink, as the console's pipelines do up to the
// decoder: CPU over the same stretch and peak memory.
bool baseline(const QStringList &urls, int seconds, Figures *figures)
{
    QStringList arguments{QStringLiteral("-q")};
    for (const QString &url : urls)
        arguments << QStringLiteral("rtspsrc") << QStringLiteral("location=") + url
                  << QStringLiteral("latency=%1").arg(200) << QStringLiteral("protocols=tcp")
                  << QStringLiteral("!") << QStringLiteral("decodebin") << QStringLiteral("!")
                  << QStringLiteral("fakesink") << QStringLiteral("sync=false");
    QProcess decoder;
    decoder.setProcessChannelMode(QProcess::ForwardedChannels);
    decoder.start(QStringLiteral("gst-launch-1.0"), arguments);
    if (!decoder.waitForStarted())
        return false;
    // As long as the console takes to show its pictures, roughly: connect, first key frames.
    ::sleep(unsigned(SettleMs / 1000 + 3));
    const double before = BenchSupport::usageOf(decoder.processId()).cpuMs;
    QElapsedTimer clock;
    clock.start();
    ::sleep(unsigned(seconds));
    const BenchSupport::Usage after = BenchSupport::usageOf(decoder.processId());
    figures->cpuMs = after.cpuMs - before;
    figures->seconds = clock.elapsed() / 1000.0;
    figures->peakKb = after.peakKb;
    decoder.terminate();
    decoder.waitForFinished();
    return figures->cpuMs >= 0;
}

bool console(const QString &self, const QStringList &urls, int seconds, bool alone,
             Figures *figures)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, QStringList{QStringLiteral("--console"), QString::number(seconds),
                                  alone ? QStringLiteral("alone") : QStringLiteral("wall")} +
                          urls);
    QByteArray output;
    while (child.waitForReadyRead(ChildStartMs + seconds * 1000)) {
        output += child.readAll();
        const int at = output.indexOf("result ");
        if (at >= 0 && output.indexOf('\n', at) > at) {
            const QList<QByteArray> words = output.mid(at).split('\n').value(0).split(' ');
            figures->cpuMs = words.value(1).toDouble();
            figures->seconds = words.value(2).toDouble();
            figures->paintedPerTile = words.value(3).toDouble();
            figures->slowestTile = words.value(4).toDouble();
            figures->paintedShare = words.value(5).toDouble();
            figures->medianMs = words.value(6).toDouble();
            figures->p99Ms = words.value(7).toDouble();
            figures->peakKb = words.value(8).toLong();
            break;
        }
    }
    child.closeWriteChannel();
    child.waitForFinished(ChildStartMs);
    return figures->seconds > 0;
}

bool compare(const QString &self, const QString &title, const QStringList &serverArguments,
             int streams, bool alone, int seconds)
{
    Server server;
    if (!server.start(serverArguments)) {
        std::printf("the RTSP server did not start\n");
        return false;
    }
    const QStringList urls = server.urls(streams);
    Figures decoding;
    Figures wall;
    const bool ok =
        baseline(urls, seconds, &decoding) && console(self, urls, seconds, alone, &wall);
    server.stop();
    if (!ok) {
        std::printf("%s: no figures (a process did not start or no picture came)\n",
                    qPrintable(title));
        return false;
    }
    const double decodeCpu = decoding.cpuMs / decoding.seconds / 10.0;
    const double wallCpu = wall.cpuMs / wall.seconds / 10.0;
    std::printf("%s, %.0f s each\n", qPrintable(title), wall.seconds);
    std::printf("  CPU:  gst-launch %.1f %%  console %.1f %%  (%.2fx; goal at most 1.2x)\n",
                decodeCpu, wallCpu, wallCpu / decodeCpu);
    std::printf("  peak memory:  gst-launch %ld kB  console %ld kB\n", decoding.peakKb,
                wall.peakKb);
    std::printf("  painted per tile: %.1f frames/s on average, %.1f the slowest tile; %.1f %% "
                "of the decoded frames (goal %d/s, every one)\n",
                wall.paintedPerTile, wall.slowestTile, wall.paintedShare, FramesPerSecond);
    std::printf("  decode to paint: median %.1f ms, 99th percentile %.1f ms (goal under 80 ms)\n",
                wall.medianMs, wall.p99Ms);
    std::fflush(stdout);
    return true;
}

bool soak(const QString &self, int seconds, int restartSeconds)
{
    if (seconds <= 0)
        return true;
    Server server;
    if (!server.start({QStringLiteral("--streams"), QString::number(WallTiles)}))
        return false;
    std::printf("soak %d s: sixteen streams, the server restarted every %d s\n", seconds,
                restartSeconds);
    std::printf("%10s %12s %8s %8s %8s\n", "elapsed s", "VmRSS kB", "fds", "threads", "playing");
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, QStringList{QStringLiteral("--console"), QStringLiteral("0"),
                                  QStringLiteral("wall")} +
                          server.urls(WallTiles));
    // Until then the process is only starting, which the loop below would take for its end.
    child.waitForStarted(ChildStartMs);
    QElapsedTimer clock;
    QElapsedTimer sinceRestart;
    QByteArray pending;
    QList<QList<QByteArray>> rows;
    bool started = false;
    QElapsedTimer starting;
    starting.start();
    while (child.state() == QProcess::Running && (!started || clock.elapsed() < seconds * 1000) &&
           (started || starting.elapsed() < ChildStartMs)) {
        if (child.waitForReadyRead(1000))
            pending += child.readAll();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            pending.remove(0, end + 1);
            if (words.value(0) == "ready") {
                started = true;
                clock.start();
                sinceRestart.start();
            } else if (words.value(0) == "soak") {
                rows << words;
                std::printf("%10s %12s %8s %8s %8s\n", words.value(1).constData(),
                            words.value(2).constData(), words.value(3).constData(),
                            words.value(4).constData(), words.value(5).constData());
                std::fflush(stdout);
            }
        }
        if (started && sinceRestart.elapsed() >= restartSeconds * 1000) {
            server.stop();
            server.restart();
            sinceRestart.restart();
        }
    }
    child.closeWriteChannel();
    child.waitForFinished(ChildStartMs);
    server.stop();
    if (rows.size() < 2)
        return false;
    // The first report after one full restart against the last one.
    const QList<QByteArray> &first = rows.value(2, rows.first());
    const QList<QByteArray> &last = rows.last();
    std::printf("from %s s to %s s: resident memory %+ld kB, descriptors %+d, threads %+d\n",
                first.value(1).constData(), last.value(1).constData(),
                last.value(2).toLong() - first.value(2).toLong(),
                last.value(3).toInt() - first.value(3).toInt(),
                last.value(4).toInt() - first.value(4).toInt());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv);

    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTemporaryDir runtime;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ::signal(SIGPIPE, SIG_IGN);
    const int seconds = option(arguments, QStringLiteral("--seconds"), DefaultSeconds);
    std::printf("platform: %s, %ld cores\n", BenchSupport::platformName(),
                ::sysconf(_SC_NPROCESSORS_ONLN));
    const QString self = QCoreApplication::applicationFilePath();
    const bool compared = seconds > 0;
    const bool wall =
        !compared || compare(self, QStringLiteral("sixteen tiles, 640x360 at 25 fps"),
                             {QStringLiteral("--streams"), QString::number(WallTiles)}, WallTiles,
                             false, seconds);
    const bool alone =
        !compared ||
        compare(self, QStringLiteral("one tile alone, 1920x1080 at 25 fps"),
                {QStringLiteral("--size"), QStringLiteral("1920x1080")}, 1, true, seconds);
    const bool soaked =
        soak(self, option(arguments, QStringLiteral("--soak-seconds"), DefaultSoakSeconds),
             option(arguments, QStringLiteral("--restart-seconds"), DefaultRestartSeconds));
    return wall && alone && soaked ? 0 : 1;
}
