#include <QtTest>

#include "common/ratelimitedlog.h"

class tst_RateLimitedLog : public QObject
{
    Q_OBJECT

private slots:
    void occurrences_data();
    void occurrences();
};

void tst_RateLimitedLog::occurrences_data()
{
    QTest::addColumn<QList<qint64>>("times"); // of the occurrences, in ms
    QTest::addColumn<QList<int>>("counts");   // what each one writes (0: held back)

    QTest::newRow("once") << QList<qint64>{5} << QList<int>{1};
    QTest::newRow("burst") << QList<qint64>{0, 1, 2, 59999} << QList<int>{1, 0, 0, 0};
    QTest::newRow("countAfterAMinute")
        << QList<qint64>{0, 10, 20, 60000, 60001} << QList<int>{1, 0, 0, 3, 0};
    QTest::newRow("quietThenAgain") << QList<qint64>{0, 500000} << QList<int>{1, 1};
    QTest::newRow("startsAtZeroClock") << QList<qint64>{0, 0} << QList<int>{1, 0};
}

void tst_RateLimitedLog::occurrences()
{
    QFETCH(QList<qint64>, times);
    QFETCH(QList<int>, counts);

    RateLimitedLog log;
    QList<int> seen;
    for (qint64 t : times)
        seen << log.occur(t);
    QCOMPARE(seen, counts);
}

QTEST_GUILESS_MAIN(tst_RateLimitedLog)
#include "tst_ratelimitedlog.moc"
