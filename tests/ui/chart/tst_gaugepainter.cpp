#include <QtTest>

#include <cmath>
#include <limits>

#include "ui/chart/gaugepainter.h"

class TestGaugePainter : public QObject
{
    Q_OBJECT

private slots:
    void scaleLabels_data();
    void scaleLabels();
    void valueText_data();
    void valueText();
    void truncatedInt_data();
    void truncatedInt();
    void valueAngle_data();
    void valueAngle();
};

void TestGaugePainter::scaleLabels_data()
{
    QTest::addColumn<double>("minValue");
    QTest::addColumn<double>("maxValue");
    QTest::addColumn<int>("scaleMajor");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("defaultsTruncateNotRound")
        << 1.0 << 2999.0 << 10 << QStringList{"1",    "300",  "600",  "900",  "1200", "1500",
                                              "1799", "2099", "2399", "2699", "2999"};
    QTest::newRow("negativeRange")
        << -10.0 << 10.0 << 4 << QStringList{"-10", "-5", "0", "5", "10"};
    QTest::newRow("negativeTruncatesTowardZero")
        << -1.0 << 0.0 << 3 << QStringList{"-1", "0", "0", "0"};
    QTest::newRow("oneInterval") << 0.5 << 99.9 << 1 << QStringList{"0", "99"};
    QTest::newRow("noInterval") << 0.0 << 100.0 << 0 << QStringList{};
}

void TestGaugePainter::scaleLabels()
{
    QFETCH(double, minValue);
    QFETCH(double, maxValue);
    QFETCH(int, scaleMajor);
    QFETCH(QStringList, labels);

    QCOMPARE(GaugePainter::scaleLabels(minValue, maxValue, scaleMajor), labels);
}

void TestGaugePainter::valueText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << 0 << "0";
    QTest::newRow("threeDecimals") << 88.0 << 3 << "88.000";
    QTest::newRow("roundsToWhole") << 88.6 << 0 << "89";
    QTest::newRow("oneDecimal") << 12.34 << 1 << "12.3";
}

void TestGaugePainter::valueText()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QString, text);

    QCOMPARE(GaugePainter::valueText(value, precision), text);
}

void TestGaugePainter::truncatedInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("result");

    QTest::newRow("positive") << 12.9 << 12;
    QTest::newRow("negative") << -12.9 << -12;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("hugePositive") << 1e12 << std::numeric_limits<int>::max();
    QTest::newRow("hugeNegative") << -1e12 << std::numeric_limits<int>::min();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                              << std::numeric_limits<int>::max();
}

void TestGaugePainter::truncatedInt()
{
    QFETCH(double, value);
    QFETCH(int, result);

    QCOMPARE(GaugePainter::truncatedInt(value), result);
}

void TestGaugePainter::valueAngle_data()
{
    QTest::addColumn<int>("startAngle");
    QTest::addColumn<int>("endAngle");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("angle");

    QTest::newRow("atMinimum") << 45 << 45 << 1.0 << 0.0;
    QTest::newRow("atMaximum") << 45 << 45 << 2999.0 << 270.0;
    QTest::newRow("halfWay") << 45 << 45 << 1500.0 << 135.0;
    QTest::newRow("narrowDial") << 90 << 90 << 2999.0 << 180.0;
}

void TestGaugePainter::valueAngle()
{
    QFETCH(int, startAngle);
    QFETCH(int, endAngle);
    QFETCH(double, value);
    QFETCH(double, angle);

    const double sweep = GaugePainter::sweep(startAngle, endAngle);
    QCOMPARE(GaugePainter::valueAngle(sweep, 1.0, 2999.0, value), angle);
}

QTEST_MAIN(TestGaugePainter)
#include "tst_gaugepainter.moc"
