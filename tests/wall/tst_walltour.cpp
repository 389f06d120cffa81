#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "common/config/setupconfig.h"
#include "wall/walltour.h"

namespace
{

// A tour on a clock the test moves: the countdown ends exactly when the test's time passes it.
class FakeClockTour : public WallTour
{
public:
    qint64 now = 0;
    qint64 deadline = -1;
    QList<qint64> steps;

    FakeClockTour()
    {
        connect(this, &WallTour::step, this, [this] { steps << now; });
    }

    void advanceTo(qint64 time)
    {
        while (deadline >= 0 && deadline <= time) {
            now = deadline;
            deadline = -1;
            countdownEnded();
        }
        now = time;
    }

protected:
    void startCountdown(int ms) override { deadline = now + ms; }
    void stopCountdown() override { deadline = -1; }
};

} // namespace

class tst_WallTour : public QObject
{
    Q_OBJECT

private slots:
    void pauseAndResume_data();
    void pauseAndResume();
    void storedSeconds_data();
    void storedSeconds();
};

// A script of what happens when ("start 0; input 6; stop 30"; times in ms, each event after
// the time has come), the steps it gives, and whether the tour is paused at the end.
void tst_WallTour::pauseAndResume_data()
{
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("pausedAtEnd");
    QTest::addColumn<int>("announced"); // runningChanged signals

    QTest::newRow("steady") << 10 << "start 0; end 35"
                            << "10 20 30" << false << 1;
    QTest::newRow("inputPauses") << 10 << "start 0; input 6; end 30"
                                 << "16 26" << false << 1;
    QTest::newRow("pausedUntilQuiet") << 10 << "start 0; input 5; input 12; input 19; end 28"
                                      << "" << true << 1;
    QTest::newRow("resumesAfterQuiet") << 10 << "start 0; input 5; input 12; input 19; end 40"
                                       << "29 39" << false << 1;
    QTest::newRow("inputBeforeStartIgnored") << 10 << "input 3; start 5; end 26"
                                             << "15 25" << false << 1;
    QTest::newRow("inputAfterStopIgnored") << 10 << "start 0; stop 15; input 16; end 50"
                                           << "10" << false << 2;
    QTest::newRow("stopWhilePaused") << 10 << "start 0; input 4; stop 8; end 50"
                                     << "" << false << 2;
    QTest::newRow("restart") << 10 << "start 0; stop 12; start 20; end 41"
                             << "10 30 40" << false << 3;
    QTest::newRow("secondStartChangesNothing") << 10 << "start 0; start 5; end 21"
                                               << "10 20" << false << 1;
    QTest::newRow("newInterval") << 10 << "start 0; interval 25; end 80"
                                 << "25 50 75" << false << 1;
}

void tst_WallTour::pauseAndResume()
{
    QFETCH(int, intervalMs);
    QFETCH(QString, script);
    QFETCH(QString, steps);
    QFETCH(bool, pausedAtEnd);
    QFETCH(int, announced);

    FakeClockTour tour;
    tour.setIntervalMs(intervalMs);
    QSignalSpy running(&tour, &WallTour::runningChanged);
    const QStringList events = script.split(QStringLiteral("; "));
    for (const QString &event : events) {
        const QStringList words = event.split(QLatin1Char(' '));
        const QString what = words.at(0);
        const int at = words.at(1).toInt();
        if (what == QLatin1String("interval")) {
            tour.setIntervalMs(at);
            continue;
        }
        tour.advanceTo(at);
        if (what == QLatin1String("start"))
            tour.start();
        else if (what == QLatin1String("stop"))
            tour.stop();
        else if (what == QLatin1String("input"))
            tour.noteInput();
    }
    QStringList times;
    for (qint64 t : qAsConst(tour.steps))
        times << QString::number(t);
    QCOMPARE(times.join(QLatin1Char(' ')), steps);
    QCOMPARE(tour.isPaused(), pausedAtEnd);
    // Each start and stop that changed something is announced once.
    QCOMPARE(running.count(), announced);
}

void tst_WallTour::storedSeconds_data()
{
    QTest::addColumn<QByteArray>("section"); // the [Tour] section; empty: none
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("reported");

    QTest::newRow("missing") << QByteArray() << 10 << false;
    QTest::newRow("five") << QByteArray("[Tour]\nSeconds=5\n") << 5 << false;
    QTest::newRow("zero") << QByteArray("[Tour]\nSeconds=0\n") << 10 << true;
    QTest::newRow("text") << QByteArray("[Tour]\nSeconds=ten\n") << 10 << true;
}

void tst_WallTour::storedSeconds()
{
    QFETCH(QByteArray, section);
    QFETCH(int, seconds);
    QFETCH(bool, reported);

    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString ini = appDir.filePath(QStringLiteral("config/SetupConfig.ini"));
    const QByteArray content = "[Camera]\nIndex=0\nType=16\n\n" + section;
    QVERIFY(TestSupport::writeFile(ini, content));
    SetupConfig::instance()->setAppDir(appDir.path());
    if (reported)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^WallTour: Tour/Seconds = .* "
                                                               "the tour steps every 10 s\\.$")));
    QCOMPARE(WallTour::storedSeconds(), seconds);
    // Nothing is written: the default stays out of the file.
    QCOMPARE(TestSupport::readFile(ini).contains("Seconds"), section.contains("Seconds"));
}

QTEST_MAIN(tst_WallTour)
#include "tst_walltour.moc"
