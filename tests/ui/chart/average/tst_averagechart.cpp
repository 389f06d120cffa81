#include <QMetaMethod>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <limits>

#include "ui/chart/average/averagechart.h"

#include "../gaugeprobe.h"

using GaugeProbe::along;
using GaugeProbe::blend;
using GaugeProbe::dialPoint;
using GaugeProbe::tick;
using GaugeProbe::timerOf;

namespace
{

const QSize Size(200, 200);
const QColor Outer(80, 80, 80);
const QColor Inner(60, 60, 60);
const QColor PieStart(24, 189, 155);
const QColor PieMid(218, 218, 0);
const QColor PieEnd(255, 107, 107);
const QColor Cover(100, 100, 100);
const QColor Pointer(255, 107, 107);
const QColor Centre(250, 250, 250);
const int Tolerance = 3;

} // namespace

class TestAverageChart : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectLayout();
    void defaultPieSectors();
    void currentPieSectorsAtMinimum();
    void setValue_data();
    void setValue();
    void oneSignalPerDistinctValue();
    void setRangeRejected_data();
    void setRangeRejected();
    void setRangePullsValueIn_data();
    void setRangePullsValueIn();
    void setRangePullShownByPointer();
    void scaleIntervalsKeepLastValid_data();
    void scaleIntervalsKeepLastValid();
    void precision();
    void animationStepRejected_data();
    void animationStepRejected();
    void animationForward();
    void animationBackward();
    void animationFinishesAfterSwitchedOff();
    void newTargetTurnsAnimation();
    void withoutAnimationJumps();
    void defaultDial_data();
    void defaultDial();
    void bandFollowsValue_data();
    void bandFollowsValue();
    void unknownStylesDrawNothing();
    void pointerStyles_data();
    void pointerStyles();
    void overlay();
    void widgetSize_data();
    void widgetSize();
};

void TestAverageChart::metaObjectLayout()
{
    const QMetaObject &meta = AverageChart::staticMetaObject;
    const QStringList properties{"minValue",          "maxValue",         "value",
                                 "precision",         "scaleMajor",       "scaleMinor",
                                 "startAngle",        "endAngle",         "animation",
                                 "animationStep",     "outerCircleColor", "innerCircleColor",
                                 "pieColorStart",     "pieColorMid",      "pieColorEnd",
                                 "coverCircleColor",  "scaleColor",       "pointerColor",
                                 "centerCircleColor", "textColor",        "showOverlay",
                                 "overlayColor",      "pieStyle",         "pointerStyle"};
    QStringList found;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        QVERIFY(property.isReadable());
        QVERIFY(property.isWritable());
        found << property.name();
    }
    QCOMPARE(found, properties);
    QVERIFY(meta.property(meta.indexOfProperty("pieStyle")).isEnumType());
    QVERIFY(meta.property(meta.indexOfProperty("pointerStyle")).isEnumType());

    const QStringList methods{"valueChanged(int)",
                              "updateValue()",
                              "setRange(double,double)",
                              "setRange(int,int)",
                              "setMinValue(double)",
                              "setMaxValue(double)",
                              "setValue(double)",
                              "setValue(int)",
                              "setPrecision(int)",
                              "setScaleMajor(int)",
                              "setScaleMinor(int)",
                              "setStartAngle(int)",
                              "setEndAngle(int)",
                              "setAnimation(bool)",
                              "setAnimationStep(double)",
                              "setOuterCircleColor(QColor)",
                              "setInnerCircleColor(QColor)",
                              "setPieColorStart(QColor)",
                              "setPieColorMid(QColor)",
                              "setPieColorEnd(QColor)",
                              "setCoverCircleColor(QColor)",
                              "setScaleColor(QColor)",
                              "setPointerColor(QColor)",
                              "setCenterCircleColor(QColor)",
                              "setTextColor(QColor)",
                              "setShowOverlay(bool)",
                              "setOverlayColor(QColor)",
                              "setPieStyle(AverageChart::PieStyle)",
                              "setPointerStyle(AverageChart::PointerStyle)"};
    QStringList signatures;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        signatures << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(signatures, methods);
    QCOMPARE(meta.method(meta.methodOffset()).methodType(), QMetaMethod::Signal);
    QCOMPARE(meta.method(meta.methodOffset() + 1).access(), QMetaMethod::Private);
}

void TestAverageChart::defaultPieSectors()
{
    AverageChart chart;
    const QVector<AverageChart::PieSector> sectors = chart.pieSectors();
    QCOMPARE(sectors.size(), 3);
    QCOMPARE(sectors.at(0).startAngle, 576);
    QCOMPARE(sectors.at(0).spanAngle, 3024);
    QCOMPARE(sectors.at(0).color, PieStart);
    QCOMPARE(sectors.at(1).startAngle, -69);
    QCOMPARE(sectors.at(1).spanAngle, 648);
    QCOMPARE(sectors.at(1).color, PieMid);
    QCOMPARE(sectors.at(2).startAngle, -714);
    QCOMPARE(sectors.at(2).spanAngle, 648);
    QCOMPARE(sectors.at(2).color, PieEnd);
}

void TestAverageChart::currentPieSectorsAtMinimum()
{
    AverageChart chart;
    chart.setValue(1.0);
    chart.setPieStyle(AverageChart::PieStyle_Current);
    const QVector<AverageChart::PieSector> sectors = chart.pieSectors();
    QCOMPARE(sectors.size(), 2);
    QCOMPARE(sectors.at(0).spanAngle, 0);
    QCOMPARE(sectors.at(1).startAngle, -720);
    QCOMPARE(sectors.at(1).spanAngle, 270 * 16);
    QCOMPARE(sectors.at(1).color, PieEnd);
}

void TestAverageChart::setValue_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("emitted");

    QTest::newRow("belowMinimum") << 0.5 << false << 0;
    QTest::newRow("aboveMaximum") << 3000.0 << false << 0;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("truncatesDown") << 12.9 << true << 12;
    QTest::newRow("atMinimum") << 1.0 << true << 1;
    QTest::newRow("atMaximum") << 2999.0 << true << 2999;
}

void TestAverageChart::setValue()
{
    QFETCH(double, input);
    QFETCH(bool, accepted);
    QFETCH(int, emitted);

    AverageChart chart;
    QSignalSpy spy(&chart, &AverageChart::valueChanged);
    chart.setValue(input);
    if (!accepted) {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(chart.value(), 0.0);
        QCOMPARE(chart.currentValue(), 0.0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), emitted);
    QCOMPARE(chart.value(), input);
    QCOMPARE(chart.currentValue(), input);
}

void TestAverageChart::oneSignalPerDistinctValue()
{
    AverageChart chart;
    QSignalSpy spy(&chart, &AverageChart::valueChanged);
    chart.setValue(12.9);
    chart.setValue(12.9);
    QCOMPARE(spy.count(), 1);
    // Another value that truncates to the same number is still a change.
    chart.setValue(12.5);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 12);
    chart.setValue(12);
    QCOMPARE(spy.count(), 3);
    chart.setValue(12.0);
    QCOMPARE(spy.count(), 3);
}

void TestAverageChart::setRangeRejected_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("equalEnds") << 10.0 << 10.0;
    QTest::newRow("reversedEnds") << 20.0 << 10.0;
    QTest::newRow("notANumberLow") << nan << 10.0;
    QTest::newRow("notANumberHigh") << 0.0 << nan;
    QTest::newRow("infiniteHigh") << 0.0 << inf;
    QTest::newRow("infiniteLow") << -inf << 10.0;
}

void TestAverageChart::setRangeRejected()
{
    QFETCH(double, low);
    QFETCH(double, high);

    AverageChart chart;
    chart.setValue(100);
    QSignalSpy spy(&chart, &AverageChart::valueChanged);
    chart.setRange(low, high);
    QCOMPARE(chart.minValue(), 1.0);
    QCOMPARE(chart.maxValue(), 2999.0);
    QCOMPARE(chart.value(), 100.0);
    QCOMPARE(spy.count(), 0);
}

void TestAverageChart::setRangePullsValueIn_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("after");
    QTest::addColumn<int>("emitted");

    QTest::newRow("aboveNewMaximum") << 2000.0 << 1.0 << 1000.0 << 1000.0 << 1;
    QTest::newRow("belowNewMinimum") << 500.0 << 600.0 << 1000.0 << 600.0 << 1;
    QTest::newRow("insideNewRange") << 500.0 << 100.0 << 1000.0 << 500.0 << 0;
    QTest::newRow("onNewBound") << 500.0 << 500.0 << 1000.0 << 500.0 << 0;
}

void TestAverageChart::setRangePullsValueIn()
{
    QFETCH(double, before);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, after);
    QFETCH(int, emitted);

    AverageChart chart;
    chart.setValue(before);
    QSignalSpy spy(&chart, &AverageChart::valueChanged);
    chart.setRange(low, high);
    QCOMPARE(chart.minValue(), low);
    QCOMPARE(chart.maxValue(), high);
    QCOMPARE(chart.value(), after);
    QCOMPARE(chart.currentValue(), after);
    QCOMPARE(spy.count(), emitted);
    if (emitted > 0)
        QCOMPARE(spy.at(0).at(0).toInt(), int(after));
}

void TestAverageChart::setRangePullShownByPointer()
{
    AverageChart chart;
    chart.setShowOverlay(false);
    chart.setValue(2000);
    chart.setMaxValue(1000);
    QCOMPARE(chart.currentValue(), 1000.0);

    // The pointer lies along the end of the sweep, not beyond the dial.
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, 40, along(1.0)), blend(Cover, Pointer, 0.8), Tolerance);
    PROBE(image, dialPoint(Size, 40, along(1.0) + 25), Cover, Tolerance);

    // An animated gauge walks there.
    AverageChart animated;
    animated.setValue(20);
    animated.setAnimation(true);
    animated.setAnimationStep(4);
    animated.setRange(1, 10);
    QCOMPARE(animated.value(), 10.0);
    QVERIFY(timerOf(animated)->isActive());
    for (int i = 0; i < 10 && timerOf(animated)->isActive(); ++i)
        tick(animated);
    QVERIFY(!timerOf(animated)->isActive());
    QCOMPARE(animated.currentValue(), 8.0);
}

void TestAverageChart::scaleIntervalsKeepLastValid_data()
{
    QTest::addColumn<bool>("major");
    QTest::addColumn<int>("count");

    QTest::newRow("majorZero") << true << 0;
    QTest::newRow("majorNegative") << true << -3;
    QTest::newRow("minorZero") << false << 0;
    QTest::newRow("minorNegative") << false << -1;
}

void TestAverageChart::scaleIntervalsKeepLastValid()
{
    QFETCH(bool, major);
    QFETCH(int, count);

    AverageChart chart;
    chart.setScaleMajor(5);
    chart.setScaleMinor(4);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AverageChart: ignoring"));
    if (major)
        chart.setScaleMajor(count);
    else
        chart.setScaleMinor(count);
    QCOMPARE(chart.scaleMajor(), 5);
    QCOMPARE(chart.scaleMinor(), 4);

    // Painting goes on with the kept scale.
    chart.setShowOverlay(false);
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, 95, 0), Outer, Tolerance);
    PROBE(image, dialPoint(Size, 12, 90), Centre, Tolerance);
}

void TestAverageChart::precision()
{
    AverageChart chart;
    chart.setValue(88);
    QCOMPARE(chart.valueText(), QStringLiteral("88"));
    chart.setPrecision(4);
    QCOMPARE(chart.precision(), 0);
    chart.setPrecision(3);
    QCOMPARE(chart.valueText(), QStringLiteral("88.000"));
}

void TestAverageChart::animationStepRejected_data()
{
    QTest::addColumn<double>("step");

    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -0.5;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
}

void TestAverageChart::animationStepRejected()
{
    QFETCH(double, step);

    AverageChart chart;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("AverageChart: ignoring animation step"));
    chart.setAnimationStep(step);
    QCOMPARE(chart.animationStep(), 0.5);
}

void TestAverageChart::animationForward()
{
    AverageChart chart;
    chart.setAnimation(true);
    QSignalSpy spy(&chart, &AverageChart::valueChanged);
    chart.setValue(1.2);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(chart.currentValue(), 0.0);
    QVERIFY(timerOf(chart)->isActive());
    QCOMPARE(timerOf(chart)->interval(), 10);

    const QList<double> expected{0.5, 1.0, 1.5};
    for (double shown : expected) {
        tick(chart);
        QCOMPARE(chart.currentValue(), shown);
        QVERIFY(timerOf(chart)->isActive());
    }
    // The step that reached past the target is where it stays.
    tick(chart);
    QCOMPARE(chart.currentValue(), 1.5);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestAverageChart::animationBackward()
{
    AverageChart chart;
    chart.setValue(1.5);
    chart.setAnimation(true);
    chart.setValue(1.2);
    QVERIFY(timerOf(chart)->isActive());
    tick(chart);
    QCOMPARE(chart.currentValue(), 1.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 1.0);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestAverageChart::animationFinishesAfterSwitchedOff()
{
    AverageChart chart;
    chart.setAnimation(true);
    chart.setAnimationStep(1.0);
    chart.setValue(3.0);
    tick(chart);
    chart.setAnimation(false);
    QVERIFY(timerOf(chart)->isActive());
    tick(chart);
    tick(chart);
    QCOMPARE(chart.currentValue(), 3.0);
    QVERIFY(timerOf(chart)->isActive());
    tick(chart);
    QVERIFY(!timerOf(chart)->isActive());
    QCOMPARE(chart.currentValue(), 3.0);
}

void TestAverageChart::newTargetTurnsAnimation()
{
    AverageChart chart;
    chart.setAnimation(true);
    chart.setAnimationStep(2.0);
    chart.setValue(20.0);
    tick(chart);
    tick(chart);
    tick(chart);
    QCOMPARE(chart.currentValue(), 6.0);
    chart.setValue(3.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 4.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 2.0);
    tick(chart);
    QVERIFY(!timerOf(chart)->isActive());
    QCOMPARE(chart.currentValue(), 2.0);
}

void TestAverageChart::withoutAnimationJumps()
{
    AverageChart chart;
    chart.setValue(2500);
    QCOMPARE(chart.currentValue(), 2500.0);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestAverageChart::defaultDial_data()
{
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("angle");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("outerDiscAtBottom") << 95.0 << 0.0 << Outer;
    QTest::newRow("innerDiscInBlankSector") << 85.0 << 0.0 << Inner;
    QTest::newRow("noBandInBlankSector") << 55.0 << 30.0 << Inner;
    QTest::newRow("bandStartColour") << 55.0 << along(0.35) << PieStart;
    QTest::newRow("bandMiddleColour") << 55.0 << along(0.775) << PieMid;
    QTest::newRow("bandEndColour") << 55.0 << along(0.925) << PieEnd;
    QTest::newRow("coverDisc") << 45.0 << 90.0 << Cover;
    QTest::newRow("indicatorAtStart") << 40.0 << along(0) << blend(Cover, Pointer, 0.8);
    QTest::newRow("hubRing") << 16.5 << 90.0 << blend(Cover, Pointer, 0.8);
    QTest::newRow("hub") << 12.0 << 90.0 << Centre;
    QTest::newRow("outsideDial") << 140.0 << 45.0 << QColor(Qt::transparent);
}

void TestAverageChart::defaultDial()
{
    QFETCH(double, radius);
    QFETCH(double, angle);
    QFETCH(QColor, colour);

    AverageChart chart;
    chart.setShowOverlay(false);
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, radius, angle), colour, Tolerance);
}

void TestAverageChart::bandFollowsValue_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("share");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("beforeValue") << 1500.0 << 0.25 << PieStart;
    QTest::newRow("afterValue") << 1500.0 << 0.6 << PieEnd;
    QTest::newRow("noMiddleColour") << 1500.0 << 0.775 << PieEnd;
    QTest::newRow("atMinimumAllEnd") << 1.0 << 0.05 << PieEnd;
    QTest::newRow("atMaximumAllStart") << 2999.0 << 0.95 << PieStart;
}

void TestAverageChart::bandFollowsValue()
{
    QFETCH(double, value);
    QFETCH(double, share);
    QFETCH(QColor, colour);

    AverageChart chart;
    chart.setShowOverlay(false);
    chart.setPieStyle(AverageChart::PieStyle_Current);
    chart.setValue(value);
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, 55, along(share)), colour, Tolerance);
}

void TestAverageChart::unknownStylesDrawNothing()
{
    AverageChart chart;
    chart.setShowOverlay(false);
    chart.setPieStyle(static_cast<AverageChart::PieStyle>(7));
    chart.setPointerStyle(static_cast<AverageChart::PointerStyle>(9));
    QVERIFY(chart.pieSectors().isEmpty());
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, 55, along(0.35)), Inner, Tolerance);
    PROBE(image, dialPoint(Size, 55, along(0.925)), Inner, Tolerance);
    PROBE(image, dialPoint(Size, 40, along(0)), Cover, Tolerance);
    PROBE(image, dialPoint(Size, 16.5, 90), blend(Cover, Pointer, 0.8), Tolerance);
    PROBE(image, dialPoint(Size, 12, 90), Centre, Tolerance);
}

void TestAverageChart::pointerStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<double>("onPointer");
    QTest::addColumn<QColor>("pointerColour");
    QTest::addColumn<double>("offPointer");

    QTest::newRow("circle") << int(AverageChart::PointerStyle_Circle) << 42.0 << Pointer << 30.0;
    QTest::newRow("indicator") << int(AverageChart::PointerStyle_Indicator) << 40.0
                               << blend(Cover, Pointer, 0.8) << -1.0;
    QTest::newRow("indicatorR") << int(AverageChart::PointerStyle_IndicatorR) << 40.0 << Pointer
                                << -1.0;
    QTest::newRow("triangle") << int(AverageChart::PointerStyle_Triangle) << 41.0 << Pointer
                              << 30.0;
}

void TestAverageChart::pointerStyles()
{
    QFETCH(int, style);
    QFETCH(double, onPointer);
    QFETCH(QColor, pointerColour);
    QFETCH(double, offPointer);

    AverageChart chart;
    chart.setShowOverlay(false);
    chart.setPointerStyle(static_cast<AverageChart::PointerStyle>(style));
    chart.setValue(1500.0); // straight up
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, onPointer, 180), pointerColour, Tolerance);
    if (offPointer > 0)
        PROBE(image, dialPoint(Size, offPointer, 180), Cover, Tolerance);
    // Nothing is left where the pointer started.
    PROBE(image, dialPoint(Size, 40, along(0)), Cover, Tolerance);
}

void TestAverageChart::overlay()
{
    // A point of the crescent before its 20-degree tilt: (0, -45) lies inside the radius 89
    // circle and outside the radius 178 circle centred at (0, 140).
    const double tilt = qDegreesToRadians(-20.0);
    const QPoint crescent(qFloor(100 - 45 * -std::sin(tilt)), qFloor(100 - 45 * std::cos(tilt)));
    // Gradient from alpha 100 at y = -89 to alpha 30 at y = 0.
    const double alpha = (100 + (30 - 100) * (44.0 / 89.0)) / 255.0;

    AverageChart chart;
    QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, crescent, blend(Cover, Qt::white, alpha), 4);
    PROBE(image, dialPoint(Size, 95, 0), Outer, Tolerance);

    chart.setOverlayColor(QColor(0, 0, 0, 255));
    image = GaugeProbe::render(chart, Size);
    PROBE(image, crescent, blend(Cover, Qt::black, alpha), 4);

    chart.setShowOverlay(false);
    image = GaugeProbe::render(chart, Size);
    PROBE(image, crescent, Cover, Tolerance);
}

void TestAverageChart::widgetSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");

    // 400 x 200: scale 1.0, centre (200, 100).
    QTest::newRow("wideOuterDisc") << QSize(400, 200) << QPoint(200, 195) << Outer;
    QTest::newRow("wideInnerDisc") << QSize(400, 200) << QPoint(200, 185) << Inner;
    QTest::newRow("wideLeftOfDial")
        << QSize(400, 200) << QPoint(98, 100) << QColor(Qt::transparent);
    QTest::newRow("wideRightOfDial")
        << QSize(400, 200) << QPoint(302, 100) << QColor(Qt::transparent);
    QTest::newRow("wideHub") << QSize(400, 200) << QPoint(188, 100) << Centre;
    // 301 x 301: centre (150, 150), scale 1.505.
    QTest::newRow("squareOuterDisc")
        << QSize(301, 301) << QPoint(150, 150 + qFloor(95 * 1.505)) << Outer;
    QTest::newRow("squareInnerDisc")
        << QSize(301, 301) << QPoint(150, 150 + qFloor(85 * 1.505)) << Inner;
    QTest::newRow("squareHub") << QSize(301, 301) << QPoint(150 - qFloor(12 * 1.505), 150)
                               << Centre;
    QTest::newRow("squareCorner") << QSize(301, 301) << QPoint(5, 5) << QColor(Qt::transparent);
}

void TestAverageChart::widgetSize()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);

    AverageChart chart;
    chart.setShowOverlay(false);
    const QImage image = GaugeProbe::render(chart, size);
    PROBE(image, point, colour, Tolerance);
}

QTEST_MAIN(TestAverageChart)
#include "tst_averagechart.moc"
