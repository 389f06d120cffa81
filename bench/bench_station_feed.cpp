// The console fed by a station at speed. A Mosquitto broker on 127.0.0.1 and the station
// simulator (tools/stationsim) are started by the benchmark; the console runs in this process
// with the program's start-up steps and its INI pointing at the broker. Figures:
//   latency:    publish to the repaint of the tile that shows the verdict, median and 99th
//               percentile, at 100 and at 10,000 messages a second; baseline: publish to
//               arrival at a bare libmosquitto subscriber;
//   cpu:        the console's CPU at 100 messages a second; baseline: the same time connected
//               and idle;
//   ceiling:    the rate the console takes in without falling behind (nothing dropped, the
//               backlog under 100 ms of messages); baseline: the bare subscriber;
//   soak:       resident memory and heap at 1,000 messages a second, once a minute.
//   bench_station_feed [--latency-seconds 20] [--cpu-seconds 30] [--step-seconds 5]
//                      [--soak-seconds 600]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>

#include <cstdio>
#include <malloc.h>
#include <mosquitto.h>
#include <mutex>
#include <unistd.h>
#include <vector>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "station/stationclient.h"
#include "station/stationmodel.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/mainwindow/mainwindow.h"

namespace
{

constexpr int Tiles = 16;
constexpr int WaitMs = 30000;
constexpr int SettleMs = 3000;
constexpr int DrainMs = 10000;
constexpr int PollMs = 5;
constexpr qint64 NsPerMs = 1000000;
// Falling behind: more waiting than this share of a second's messages, or any dropped.
constexpr double BacklogSeconds = 0.1;
const QList<int> CeilingRates = {5000, 10000, 20000, 40000, 80000};

using BenchSupport::monotonicNs;
using BenchSupport::option;
using BenchSupport::percentile;
using BenchSupport::say;
using BenchSupport::spinFor;

// Runs the event loop until the condition holds (looked at every few milliseconds) or the time
// is up.
bool spinUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QEventLoop loop;
    QElapsedTimer timer;
    timer.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (condition() || timer.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(PollMs);
    if (!condition())
        loop.exec();
    return condition();
}

QString latencyText(const std::vector<double> &ms)
{
    return QStringLiteral("median %1 ms  p99 %2 ms  (%3 samples)")
        .arg(percentile(ms, 0.5), 0, 'f', 2)
        .arg(percentile(ms, 0.99), 0, 'f', 2)
        .arg(ms.size());
}

class Broker
{
public:
    bool start()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!config.open(QIODevice::WriteOnly))
            return false;
        config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\n"
                                    "persistence false\nlog_dest stderr\n%2")
                         .arg(m_port)
                         .arg(::geteuid() == 0 ? QStringLiteral("user root\n") : QString())
                         .toUtf8());
        config.close();
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, {QStringLiteral("-c"), config.fileName()});
        QByteArray said;
        while (!said.contains(" running") && m_process.waitForReadyRead(WaitMs))
            said += m_process.readAll();
        return said.contains(" running");
    }
    ~Broker()
    {
        m_process.terminate();
        m_process.waitForFinished(WaitMs);
    }
    int port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

// A subscriber with nothing but libmosquitto's own thread: what the broker and the loopback
// deliver, for comparison.
class BareSubscriber
{
public:
    explicit BareSubscriber(int port)
    {
        m_mosq = mosquitto_new(nullptr, true, this);
        mosquitto_connect_callback_set(m_mosq, [](mosquitto *m, void *, int) {
            mosquitto_subscribe(m, nullptr, "station/#", 1);
        });
        mosquitto_subscribe_callback_set(
            m_mosq, [](mosquitto *, void *self, int, int, const int *) {
                static_cast<BareSubscriber *>(self)->m_subscribed = true;
            });
        mosquitto_message_callback_set(
            m_mosq, [](mosquitto *, void *self, const mosquitto_message *message) {
                static_cast<BareSubscriber *>(self)->received(message);
            });
        mosquitto_connect_async(m_mosq, "127.0.0.1", port, 30);
        mosquitto_loop_start(m_mosq);
    }
    ~BareSubscriber()
    {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, false);
        mosquitto_destroy(m_mosq);
    }
    bool subscribed() const { return m_subscribed; }
    qint64 count() const { return m_count; }
    std::vector<double> takeLatencies()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<double> out;
        out.swap(m_latencies);
        return out;
    }

private:
    void received(const mosquitto_message *message)
    {
        const qint64 now = monotonicNs();
        ++m_count;
        const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
        const int at = payload.indexOf("\"reason\":\"");
        if (at < 0)
            return;
        const qint64 stamp =
            payload.mid(at + 10, payload.indexOf('"', at + 10) - at - 10).toLongLong();
        if (stamp > 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_latencies.push_back(double(now - stamp) / NsPerMs);
        }
    }

    mosquitto *m_mosq = nullptr;
    std::atomic<bool> m_subscribed{false};
    std::atomic<qint64> m_count{0};
    std::mutex m_mutex;
    std::vector<double> m_latencies;
};

// The simulator as a child process; the number of messages it says it sent.
class Simulator
{
public:
    Simulator(const QString &program, int port) : m_program(program), m_port(port) {}

    void start(int rate, int seconds, const QStringList &extra = QStringList())
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(m_program,
                        QStringList{QStringLiteral("--port"), QString::number(m_port),
                                    QStringLiteral("--rate"), QString::number(rate),
                                    QStringLiteral("--duration"), QString::number(seconds)} +
                            extra);
        m_process.waitForStarted(WaitMs);
    }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // Waits (running the event loop) for the end; the messages it sent and over how long.
    QPair<qint64, double> finish()
    {
        if (running()) {
            QEventLoop loop;
            QObject::connect(&m_process,
                             QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                             &QEventLoop::quit);
            loop.exec();
        }
        const QByteArray said = m_process.readAllStandardError();
        // "stationsim: N messages in T s (...)"
        const QList<QByteArray> words = said.split(' ');
        return {words.value(1).toLongLong(), words.value(4).toDouble()};
    }

private:
    QString m_program;
    int m_port;
    QProcess m_process;
};

// Publish-to-repaint times of the wall's tiles: at each repaint of a state that changed, the
// time since the shown verdict was published (the simulator writes it as the reason).
class RepaintProbe : public QObject
{
public:
    RepaintProbe(CameraPanel *wall, StationModel *model) : m_model(model)
    {
        for (int channel = 1; channel <= Tiles; ++channel) {
            auto *label = wall->tileOfChannel(channel)->findChild<QLabel *>(
                QStringLiteral("CameraDisplayStateLabel"));
            label->installEventFilter(this);
            m_labels.append(label);
            m_shown.append(label->text());
        }
    }
    std::vector<double> take()
    {
        std::vector<double> out;
        out.swap(m_ms);
        return out;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const int index = m_labels.indexOf(static_cast<QLabel *>(watched));
            if (index >= 0 && m_labels.at(index)->text() != m_shown.at(index)) {
                m_shown[index] = m_labels.at(index)->text();
                const qint64 stamp = m_model->camera(index + 1).reason.toLongLong();
                if (stamp > 0)
                    m_ms.push_back(double(monotonicNs() - stamp) / NsPerMs);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    StationModel *m_model;
    QList<QLabel *> m_labels;
    QStringList m_shown;
    std::vector<double> m_ms;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int latencySeconds = option(arguments, QStringLiteral("--latency-seconds"), 20);
    const int cpuWindow = option(arguments, QStringLiteral("--cpu-seconds"), 30);
    const int stepSeconds = option(arguments, QStringLiteral("--step-seconds"), 5);
    const int soakSeconds = option(arguments, QStringLiteral("--soak-seconds"), 600);
    const QString simulatorPath =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/stationsim");
    say(QStringLiteral("platform %1, %2 cores")
            .arg(QLatin1String(BenchSupport::platformName()))
            .arg(QThread::idealThreadCount()));

    mosquitto_lib_init();
    Broker broker;
    if (!broker.start()) {
        say(QStringLiteral("the broker did not start"));
        return 1;
    }
    Simulator simulator(simulatorPath, broker.port());
    const QStringList stamped = {QStringLiteral("--stamp"), QStringLiteral("--quiet"),
                                 QStringLiteral("--ng-share"), QStringLiteral("0.5")};

    // Baselines: what a bare subscriber sees.
    {
        BareSubscriber bare(broker.port());
        spinUntil([&bare] { return bare.subscribed(); }, WaitMs);
        for (int rate : {100, 10000}) {
            simulator.start(rate, latencySeconds, stamped);
            simulator.finish();
            spinFor(SettleMs / 3);
            say(QStringLiteral("baseline latency at %1/s, publish to bare subscriber: %2")
                    .arg(rate)
                    .arg(latencyText(bare.takeLatencies())));
        }
        for (int rate : CeilingRates) {
            const qint64 before = bare.count();
            simulator.start(rate, stepSeconds, {QStringLiteral("--quiet")});
            const QPair<qint64, double> sent = simulator.finish();
            spinFor(SettleMs / 3);
            say(QStringLiteral(
                    "baseline ceiling step %1/s: sent %2 in %3 s, bare subscriber got %4")
                    .arg(rate)
                    .arg(sent.first)
                    .arg(sent.second, 0, 'f', 1)
                    .arg(bare.count() - before));
        }
        bare.takeLatencies();
    }

    // The console, as it starts, with its INI naming the broker.
    QTemporaryDir appDir;
    BenchSupport::makeConfigFolder(appDir.path());
    QFile ini(appDir.filePath(QStringLiteral("config/SetupConfig.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[Station]\nBroker=mqtt://127.0.0.1:%1\nClientId=bench-console\n")
                  .arg(broker.port())
                  .toUtf8());
    ini.close();
    SetupConfig::instance()->setAppDir(appDir.path());
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    mainObject.showMainWindow();
    StationClient *client = mainObject.stationClient();
    StationModel *model = mainObject.stationModel();
    if (!spinUntil([client] { return client->state() == StationClient::Connected; }, WaitMs)) {
        say(QStringLiteral("the console did not connect: ") + client->detail());
        return 1;
    }
    spinFor(SettleMs);
    RepaintProbe probe(mainObject.mainWindow()->cameraPanel(), model);

    // CPU: idle, then at 100 a second (verdicts with the station's log, counts and rates).
    double cpu = BenchSupport::cpuMs();
    QElapsedTimer wall;
    wall.start();
    spinFor(cpuWindow * 1000);
    const double idleShare = (BenchSupport::cpuMs() - cpu) / double(wall.elapsed());
    qint64 received = client->receivedCount();
    cpu = BenchSupport::cpuMs();
    wall.restart();
    simulator.start(100, cpuWindow);
    simulator.finish();
    const double busyShare = (BenchSupport::cpuMs() - cpu) / double(wall.elapsed());
    say(QStringLiteral("cpu connected idle: %1 % of a core").arg(idleShare * 100, 0, 'f', 2));
    say(QStringLiteral("cpu at 100 verdicts/s (%1 messages/s with log, counts, rates): %2 % of a "
                       "core")
            .arg(double(client->receivedCount() - received) / (double(wall.elapsed()) / 1000), 0,
                 'f', 0)
            .arg(busyShare * 100, 0, 'f', 2));

    // Latency at the wall.
    for (int rate : {100, 10000}) {
        probe.take();
        simulator.start(rate, latencySeconds, stamped);
        simulator.finish();
        spinFor(SettleMs / 3);
        say(QStringLiteral("latency at %1/s, publish to tile repaint: %2")
                .arg(rate)
                .arg(latencyText(probe.take())));
    }

    // The ceiling: steps of rising rate until the console falls behind.
    int keptUpTo = 0;
    for (int rate : CeilingRates) {
        const qint64 before = client->receivedCount();
        const qint64 droppedBefore = client->droppedCount();
        int maxPending = 0;
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout,
                         [&] { maxPending = qMax(maxPending, client->pendingCount()); });
        sampler.start(10);
        simulator.start(rate, stepSeconds, {QStringLiteral("--quiet")});
        const QPair<qint64, double> sent = simulator.finish();
        sampler.stop();
        spinUntil([&] { return client->receivedCount() - before >= sent.first; }, DrainMs);
        const qint64 dropped = client->droppedCount() - droppedBefore;
        const double achieved = double(sent.first) / qMax(0.001, sent.second);
        const bool keptUp = dropped == 0 && client->receivedCount() - before >= sent.first &&
                            maxPending <= achieved * BacklogSeconds;
        say(QStringLiteral("ceiling step %1/s: sent %2 (%3/s), taken in %4, dropped %5, largest "
                           "backlog %6 messages: %7")
                .arg(rate)
                .arg(sent.first)
                .arg(achieved, 0, 'f', 0)
                .arg(client->receivedCount() - before)
                .arg(dropped)
                .arg(maxPending)
                .arg(keptUp ? QStringLiteral("kept up") : QStringLiteral("fell behind")));
        if (!keptUp)
            break;
        keptUpTo = int(achieved);
    }
    say(QStringLiteral("ceiling: kept up at %1 messages/s").arg(keptUpTo));

    // Memory over a long run at 1,000 a second.
    if (soakSeconds > 0) {
        QElapsedTimer soaking;
        soaking.start();
        auto report = [&] {
            const struct mallinfo2 heap = mallinfo2();
            say(QStringLiteral("soak %1 s: rss %2 kB, heap %3 kB, received %4")
                    .arg(soaking.elapsed() / 1000)
                    .arg(BenchSupport::statusKb("VmRSS:"))
                    .arg(qint64((heap.uordblks + heap.hblkhd) / 1024))
                    .arg(client->receivedCount()));
        };
        report();
        QTimer checkpoints;
        QObject::connect(&checkpoints, &QTimer::timeout, report);
        checkpoints.start(qMin(60, qMax(1, soakSeconds / 10)) * 1000);
        simulator.start(1000, soakSeconds);
        simulator.finish();
        checkpoints.stop();
        report();
    }
    return 0;
}
