#include <QtTest>

#include "common/backoff.h"

class tst_Backoff : public QObject
{
    Q_OBJECT

private slots:
    void delays_data();
    void delays();
};

void tst_Backoff::delays_data()
{
    QTest::addColumn<double>("random"); // the random share of every wait
    QTest::addColumn<QList<int>>("expected");

    // 1, 2, 4 ... 30 s with 20 % jitter either way; the cap holds however long it goes on.
    QTest::newRow("middle") << 0.5 << QList<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000};
    QTest::newRow("earliest") << 0.0 << QList<int>{800, 1600, 3200, 6400, 12800, 24000, 24000};
    QTest::newRow("latest") << 1.0 << QList<int>{1200, 2400, 4800, 9600, 19200, 36000, 36000};
}

void tst_Backoff::delays()
{
    QFETCH(double, random);
    QFETCH(QList<int>, expected);

    Backoff backoff;
    QList<int> seen;
    for (int i = 0; i < expected.size(); ++i)
        seen << backoff.nextDelayMs(random);
    QCOMPARE(seen, expected);
    for (int i = 0; i < 100; ++i)
        backoff.nextDelayMs(random);
    QCOMPARE(backoff.nextDelayMs(random), expected.last());

    // A success starts again from the first wait.
    backoff.reset();
    QCOMPARE(backoff.nextDelayMs(random), expected.first());
}

QTEST_GUILESS_MAIN(tst_Backoff)
#include "tst_backoff.moc"
