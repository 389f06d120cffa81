// How long the single-instance guard takes to decide, seen from the start of the process.
// The program runs itself as a child: the parent notes the monotonic clock just before it
// starts a child and passes it on; the child reads the same clock at the moment the guard has
// decided and prints the difference. A second start that is refused never returns from the
// constructor, so it reports from an exit handler, after it has also handed over to the primary.

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "benchsupport.h"
#include "common/singleinstance/uniqueapplication.h"

using BenchSupport::monotonicNs;

namespace
{

constexpr int Runs = 15;
constexpr int ChildWait = 30000;
constexpr int GuardTimeout = 1000;
const char *const Platform = "offscreen";

qint64 g_launchedAt = 0;

void reportAtExit()
{
    std::printf("%lld\n", static_cast<long long>(monotonicNs() - g_launchedAt));
    std::fflush(stdout);
}

int runChild(int argc, char *argv[])
{
    const QByteArray role = argv[1];
    const QString extra = QString::fromLocal8Bit(argv[2]);
    g_launchedAt = std::strtoll(argv[3], nullptr, 10);

    if (role == "refused")
        std::atexit(reportAtExit);
    const bool allowSecondary = role == "secondary";
    UniqueApplication app(argc, argv, allowSecondary, UniqueApplication::PerUser, GuardTimeout,
                          extra);
    const qint64 decidedAfter = monotonicNs() - g_launchedAt;

    if (role == "primary") {
        // Serves later starts until the parent closes our standard input.
        BenchSupport::quitWhenInputEnds(&app);
        std::printf("ready\n");
        std::fflush(stdout);
        return app.exec();
    }
    std::printf("%lld %s\n", static_cast<long long>(decidedAfter),
                app.isPrimaryInstance() ? "primary" : "secondary");
    std::fflush(stdout);
    return 0;
}

struct Run {
    qint64 reportedNs = -1; // from inside the child
    qint64 wholeNs = -1;    // start to reaped, seen by the parent
    QString said;
};

Run runOnce(const QString &role, const QString &extra)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(Platform));
    child.setProcessEnvironment(environment);
    const qint64 launchedAt = monotonicNs();
    child.start(QCoreApplication::applicationFilePath(),
                {role, extra, QString::number(launchedAt)});
    Run run;
    if (!child.waitForFinished(ChildWait))
        return run;
    run.wholeNs = monotonicNs() - launchedAt;
    const QStringList words =
        QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    run.reportedNs = words.value(0).toLongLong();
    run.said = words.value(1);
    return run;
}

double medianMs(const std::vector<qint64> &values)
{
    return values.empty() ? -1 : double(BenchSupport::median(values)) / 1e6;
}

void print(const char *what, const std::vector<qint64> &values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-58s median %7.2f ms  (min %6.2f, max %6.2f, %zu runs)\n", what, medianMs(values),
                values.empty() ? -1.0 : double(*low) / 1e6,
                values.empty() ? -1.0 : double(*high) / 1e6, values.size());
}

QString freshExtra(const char *what)
{
    return QStringLiteral("bench-%1-%2-%3")
        .arg(QLatin1String(what))
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

int runParent(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The instances' socket and lock files go to a folder that goes away with the benchmark.
    QTemporaryDir runtime;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    std::printf("bench_singleinstance: %d runs each, platform %s, guard timeout %d ms\n", Runs,
                Platform, GuardTimeout);

    std::vector<qint64> firstDecision;
    std::vector<qint64> firstWhole;
    for (int i = 0; i < Runs; ++i) {
        const Run run = runOnce(QStringLiteral("first"), freshExtra("first"));
        if (run.said == QLatin1String("primary")) {
            firstDecision.push_back(run.reportedNs);
            firstWhole.push_back(run.wholeNs);
        }
    }

    const QString shared = freshExtra("shared");
    QProcess primary;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(Platform));
    primary.setProcessEnvironment(environment);
    primary.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("primary"), shared, QString::number(monotonicNs())});
    if (!primary.waitForReadyRead(ChildWait) || !primary.readAll().contains("ready")) {
        std::printf("the primary did not start\n");
        return 1;
    }
    std::vector<qint64> secondaryDecision;
    std::vector<qint64> refusedReport;
    std::vector<qint64> refusedWhole;
    for (int i = 0; i < Runs; ++i) {
        const Run secondary = runOnce(QStringLiteral("secondary"), shared);
        if (secondary.said == QLatin1String("secondary"))
            secondaryDecision.push_back(secondary.reportedNs);
        const Run refused = runOnce(QStringLiteral("refused"), shared);
        if (refused.reportedNs > 0) {
            refusedReport.push_back(refused.reportedNs);
            refusedWhole.push_back(refused.wholeNs);
        }
    }
    primary.closeWriteChannel();
    primary.waitForFinished(ChildWait);

    // After a primary killed outright: its record and socket file are still there.
    std::vector<qint64> takeoverDecision;
    for (int i = 0; i < Runs; ++i) {
        const QString extra = freshExtra("killed");
        QProcess doomed;
        doomed.setProcessEnvironment(environment);
        doomed.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("primary"), extra, QString::number(monotonicNs())});
        if (!doomed.waitForReadyRead(ChildWait))
            continue;
        doomed.kill();
        doomed.waitForFinished(ChildWait);
        const Run run = runOnce(QStringLiteral("first"), extra);
        if (run.said == QLatin1String("primary"))
            takeoverDecision.push_back(run.reportedNs);
    }

    print("first start: start to decision (primary)", firstDecision);
    print("first start: whole run (start to exit, as primary)", firstWhole);
    print("second start: start to decision (secondary allowed)", secondaryDecision);
    print("second start refused: start to hand-over done (exit path)", refusedReport);
    print("second start refused: whole run (start to exit)", refusedWhole);
    print("start after a killed primary: start to decision (primary)", takeoverDecision);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4)
        return runChild(argc, argv);
    return runParent(argc, argv);
}
