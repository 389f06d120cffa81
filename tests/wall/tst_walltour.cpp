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

// A script of what happens when on a tour of 10 ms ("start 0; input 6; stop 30"; times in ms,
// each event after the time has come), how many runningChanged signals announced its starts
// and stops, the steps it gives and whether the tour is paused at the end.
void tst_WallTour::pauseAndResume_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("announced");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("pausedAtEnd");

    QTest::newRow("steady") << "start 0; end 35" << 1 << "10 20 30" << false;
    QTest::newRow("pausedUntilQuiet")
        << "start 0; input 5; input 12; input 19; end 28" << 1 << "" << true;
    QTest::newRow("resumesAfterQuiet")
        << "start 0; input 5; input 12; input 19; end 40" << 1 << "29 39" << false;
    QTest::newRow("inputBeforeStartIgnored") << "input 3; start 5; end 26" << 1 << "15 25" << false;
    QTest::newRow("inputAfterStopIgnored")
        << "start 0; stop 15; input 16; end 50" << 2 << "10" << false;
    QTest::newRow("stopWhilePaused") << "start 0; input 4; stop 8; end 50" << 2 << "" << false;
    QTest::newRow("restart") << "start 0; stop 12; start 20; end 41" << 3 << "10 30 40" << false;
    QTest::newRow("secondStartChangesNothing")
        << "start 0; start 5; end 21" << 1 << "10 20" << false;
    QTest::newRow("newInterval") << "start 0; interval 25; end 80" << 1 << "25 50 75" << false;
}

void tst_WallTour::pauseAndResume()
{
    QFETCH(QString, script);
    QFETCH(int, announced);
    QFETCH(QString, steps);
    QFETCH(bool, pausedAtEnd);

    FakeClockTour tour;
    tour.setIntervalMs(10);
    QSignalSpy running(&tour, &WallTour::runningChanged);
    const QStringList events = script.split(QStringLiteral("; "));
    for (const QString &event : events) {
        const QString what = event.section(QLatin1Char(' '), 0, 0);
        const int at = event.section(QLatin1Char(' '), 1).toInt();
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
