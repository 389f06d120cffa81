#include <QSignalSpy>
#include <QtTest>

#include <csignal>

#include "common/terminationwatcher.h"

class tst_TerminationWatcher : public QObject
{
    Q_OBJECT

private slots:
    void signalsArriveOnTheEventLoop_data();
    void signalsArriveOnTheEventLoop();
    void defaultsComeBackWithTheWatcher();
};

void tst_TerminationWatcher::signalsArriveOnTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void tst_TerminationWatcher::signalsArriveOnTheEventLoop()
{
    QFETCH(int, signalNumber);
    TerminationWatcher watcher;
    QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
    ::raise(signalNumber);
    // Nothing happens inside the handler; the notification waits for the event loop.
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
    QCOMPARE(watcher.lastSignal(), signalNumber);
}

void tst_TerminationWatcher::defaultsComeBackWithTheWatcher()
{
    {
        TerminationWatcher watcher;
        TerminationWatcher second; // stays idle, and must not undo the first one's set-up
        QSignalSpy spy(&watcher, &TerminationWatcher::terminationRequested);
        ::raise(SIGTERM);
        QTRY_COMPARE(spy.count(), 1);
    }
    struct sigaction current = {};
    ::sigaction(SIGTERM, nullptr, &current);
    QVERIFY(current.sa_handler == SIG_DFL);
}

QTEST_GUILESS_MAIN(tst_TerminationWatcher)
#include "tst_terminationwatcher.moc"
