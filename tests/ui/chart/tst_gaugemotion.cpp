#include <QTimer>
#include <QWidget>
#include <QtTest>

#include "ui/chart/gaugemotion.h"

class TestGaugeMotion : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
};

using Landing = GaugeMotion::Landing;
Q_DECLARE_METATYPE(GaugeMotion::Landing)

void TestGaugeMotion::walk_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("step");
    QTest::addColumn<Landing>("landing");
    QTest::addColumn<QList<double>>("shown"); // after each tick, the last once the timer stopped

    QTest::newRow("upwardOvershootStaysPast")
        << 1.0 << 2.2 << 0.5 << Landing::Overshoot << QList<double>{1.5, 2.0, 2.5, 2.5};
    QTest::newRow("upwardExactLandsOnTarget")
        << 1.0 << 2.2 << 0.5 << Landing::Exact << QList<double>{1.5, 2.0, 2.5, 2.2};
    QTest::newRow("downwardOvershootStaysPast")
        << 2.5 << 2.2 << 0.5 << Landing::Overshoot << QList<double>{2.0, 2.0};
    QTest::newRow("downwardExactLandsOnTarget")
        << 2.5 << 2.2 << 0.5 << Landing::Exact << QList<double>{2.0, 2.2};
    QTest::newRow("stepHitsTargetExactly")
        << 1.0 << 3.0 << 1.0 << Landing::Overshoot << QList<double>{2.0, 3.0, 3.0};
}

// The gauge animates through the motion's timer: each tick moves the shown value one step and
// the tick that finds the target reached stops the timer.
void TestGaugeMotion::walk()
{
    QFETCH(double, from);
    QFETCH(double, target);
    QFETCH(double, step);
    QFETCH(Landing, landing);
    QFETCH(QList<double>, shown);

    QWidget gauge;
    GaugeMotion motion(&gauge, "Gauge", step, landing);
    QVERIFY(motion.setTarget(from));
    motion.follow();
    QCOMPARE(motion.currentValue(), from);
    QVERIFY(motion.setAnimation(true));
    QVERIFY(motion.setTarget(target));
    motion.follow();
    for (int i = 0; i < shown.size(); ++i) {
        QVERIFY(motion.timer()->isActive());
        motion.tick();
        QCOMPARE(motion.currentValue(), shown.at(i));
    }
    QVERIFY(!motion.timer()->isActive());
    QCOMPARE(gauge.findChildren<QTimer *>().size(), 1);
}

QTEST_MAIN(TestGaugeMotion)
#include "tst_gaugemotion.moc"
