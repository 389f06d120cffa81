#include <QMetaMethod>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <limits>

#include "ui/chart/instant/instantchart.h"

#include "../gaugeprobe.h"

using GaugeProbe::along;
using GaugeProbe::blend;
using GaugeProbe::dialPoint;
using GaugeProbe::tick;
using GaugeProbe::timerOf;

namespace
{

const QSize Size(200, 200);
const QColor UserValue(255, 107, 107);
const QColor Used(100, 184, 255);
const QColor Free(100, 100, 100);
const QColor Pointer(255, 107, 107);
const QColor Transparent(Qt::transparent);
const int Tolerance = 3;
const double RimRadius = 94.0;

// The colour of a pointer drawn at the given opacity over nothing.
QColor translucent(const QColor &colour, double opacity)
{
    QColor result = colour;
    result.setAlphaF(opacity);
    return result;
}

} // namespace

class TestInstantChart : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectLayout();
    void defaultRimArcs();
    void setValue_data();
    void setValue();
    void oneSignalPerDistinctValue();
    void setUserValue_data();
    void setUserValue();
    void setRangeRejected_data();
    void setRangeRejected();
    void setRangePullsValueIn_data();
    void setRangePullsValueIn();
    void scaleIntervalsKeepLastValid();
    void animationStepRejected();
    void animationLandsOnTarget();
    void animationBackwardLandsOnTarget();
    void animationFinishesAfterSwitchedOff();
    void userValueStartsNoAnimation();
    void rim_data();
    void rim();
    void noBackground();
    void pointerStyles_data();
    void pointerStyles();
    void widgetSize_data();
    void widgetSize();
};

void TestInstantChart::metaObjectLayout()
{
    const QMetaObject &meta = InstantChart::staticMetaObject;
    const QStringList properties{"minValue",      "maxValue",      "value",      "scaleMajor",
                                 "scaleMinor",    "startAngle",    "endAngle",   "animation",
                                 "animationStep", "showUserValue", "userValue",  "userValueColor",
                                 "usedColor",     "freeColor",     "scaleColor", "pointerColor",
                                 "textColor",     "titleColor",    "title",      "showOverlay",
                                 "overlayColor",  "pointerStyle"};
    QStringList found;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        QVERIFY(meta.property(i).isWritable());
        found << meta.property(i).name();
    }
    QCOMPARE(found, properties);
    QVERIFY(meta.property(meta.indexOfProperty("pointerStyle")).isEnumType());

    const QStringList methods{"valueChanged(double)",
                              "updateValue()",
                              "setRange(double,double)",
                              "setMinValue(double)",
                              "setMaxValue(double)",
                              "setValue(double)",
                              "setValue(int)",
                              "setScaleMajor(int)",
                              "setScaleMinor(int)",
                              "setStartAngle(int)",
                              "setEndAngle(int)",
                              "setAnimation(bool)",
                              "setAnimationStep(double)",
                              "setShowUserValue(bool)",
                              "setUserValue(double)",
                              "setUserValue(int)",
                              "setUserValueColor(QColor)",
                              "setUsedColor(QColor)",
                              "setFreeColor(QColor)",
                              "setScaleColor(QColor)",
                              "setPointerColor(QColor)",
                              "setTextColor(QColor)",
                              "setTitleColor(QColor)",
                              "setTitle(QString)",
                              "setShowOverlay(bool)",
                              "setOverlayColor(QColor)",
                              "setPointerStyle(InstantChart::PointerStyle)"};
    QStringList signatures;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        signatures << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(signatures, methods);
}

void TestInstantChart::defaultRimArcs()
{
    InstantChart chart;
    // The displayed 0 lies below the minimum 1: the first arc spans -1 sixteenth.
    const QVector<InstantChart::RimArc> arcs = chart.rimArcs();
    QCOMPARE(arcs.size(), 2);
    QCOMPARE(arcs.at(0).startAngle, 3601);
    QCOMPARE(arcs.at(0).spanAngle, -1);
    QCOMPARE(arcs.at(0).color, Used);
    QCOMPARE(arcs.at(1).startAngle, -720);
    QCOMPARE(arcs.at(1).spanAngle, 4321);
    QCOMPARE(arcs.at(1).color, Free);
    QCOMPARE(chart.valueText(), QStringLiteral("0"));
    QCOMPARE(chart.title(), QStringLiteral("瞬时值"));
}

void TestInstantChart::setValue_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("belowMinimum") << 0.0 << false;
    QTest::newRow("aboveMaximum") << 3000.0 << false;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("fraction") << 88.6 << true;
    QTest::newRow("atMaximum") << 2999.0 << true;
}

void TestInstantChart::setValue()
{
    QFETCH(double, input);
    QFETCH(bool, accepted);

    InstantChart chart;
    QSignalSpy spy(&chart, &InstantChart::valueChanged);
    chart.setValue(input);
    if (!accepted) {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(chart.value(), 0.0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    // The signal carries the value itself, not a truncated one.
    QCOMPARE(spy.at(0).at(0).toDouble(), input);
    QCOMPARE(chart.currentValue(), input);
}

void TestInstantChart::oneSignalPerDistinctValue()
{
    InstantChart chart;
    QSignalSpy spy(&chart, &InstantChart::valueChanged);
    chart.setValue(88.6);
    chart.setValue(88.6);
    QCOMPARE(spy.count(), 1);
    chart.setValue(88.7);
    QCOMPARE(spy.count(), 2);
    chart.setValue(88);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(2).at(0).toDouble(), 88.0);
    QCOMPARE(chart.valueText(), QStringLiteral("88"));
    chart.setValue(88.6);
    QCOMPARE(chart.valueText(), QStringLiteral("89"));
}

void TestInstantChart::setUserValue_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<double>("stored");

    QTest::newRow("aboveMaximum") << 5000.0 << 80.0;
    QTest::newRow("belowMinimum") << 0.5 << 80.0;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN() << 80.0;
    QTest::newRow("inRange") << 100.5 << 100.5;
}

void TestInstantChart::setUserValue()
{
    QFETCH(double, input);
    QFETCH(double, stored);

    InstantChart chart;
    QSignalSpy spy(&chart, &InstantChart::valueChanged);
    chart.setUserValue(input);
    QCOMPARE(chart.userValue(), stored);
    QCOMPARE(spy.count(), 0);
    chart.setUserValue(7);
    QCOMPARE(chart.userValue(), 7.0);
}

void TestInstantChart::setRangeRejected_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");

    QTest::newRow("equalEnds") << 10.0 << 10.0;
    QTest::newRow("reversedEnds") << 20.0 << 10.0;
    QTest::newRow("notANumber") << std::numeric_limits<double>::quiet_NaN() << 10.0;
    QTest::newRow("infinite") << 0.0 << std::numeric_limits<double>::infinity();
}

void TestInstantChart::setRangeRejected()
{
    QFETCH(double, low);
    QFETCH(double, high);

    InstantChart chart;
    chart.setRange(low, high);
    QCOMPARE(chart.minValue(), 1.0);
    QCOMPARE(chart.maxValue(), 2999.0);
}

void TestInstantChart::setRangePullsValueIn_data()
{
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("after");
    QTest::addColumn<int>("emitted");

    QTest::newRow("aboveNewMaximum") << 2000.5 << 1.0 << 1000.0 << 1000.0 << 1;
    QTest::newRow("belowNewMinimum") << 500.0 << 600.5 << 1000.0 << 600.5 << 1;
    QTest::newRow("insideNewRange") << 500.0 << 100.0 << 1000.0 << 500.0 << 0;
}

void TestInstantChart::setRangePullsValueIn()
{
    QFETCH(double, before);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, after);
    QFETCH(int, emitted);

    InstantChart chart;
    chart.setShowOverlay(false);
    chart.setValue(before);
    QSignalSpy spy(&chart, &InstantChart::valueChanged);
    chart.setRange(low, high);
    QCOMPARE(chart.value(), after);
    QCOMPARE(chart.currentValue(), after);
    QCOMPARE(spy.count(), emitted);
    if (emitted > 0)
        QCOMPARE(spy.at(0).at(0).toDouble(), after);

    // The rim shows the pulled value: used up to it, free after it.
    const double share = (after - low) / (high - low);
    const QImage image = GaugeProbe::render(chart, Size);
    if (share > 0.05)
        PROBE(image, dialPoint(Size, RimRadius, along(share - 0.05)), Used, Tolerance);
    if (share < 0.95)
        PROBE(image, dialPoint(Size, RimRadius, along(share + 0.05)), Free, Tolerance);
}

void TestInstantChart::scaleIntervalsKeepLastValid()
{
    InstantChart chart;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("InstantChart: ignoring 0 major"));
    chart.setScaleMajor(0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("InstantChart: ignoring -2 minor"));
    chart.setScaleMinor(-2);
    QCOMPARE(chart.scaleMajor(), 10);
    QCOMPARE(chart.scaleMinor(), 10);
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, RimRadius, along(0.5)), Free, Tolerance);
}

void TestInstantChart::animationStepRejected()
{
    InstantChart chart;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("InstantChart: ignoring animation step"));
    chart.setAnimationStep(0);
    QCOMPARE(chart.animationStep(), 3.0);
}

void TestInstantChart::animationLandsOnTarget()
{
    InstantChart chart;
    chart.setAnimation(true);
    chart.setValue(88);
    QVERIFY(timerOf(chart)->isActive());
    QCOMPARE(timerOf(chart)->interval(), 10);

    for (int step = 1; step <= 30; ++step) {
        tick(chart);
        QCOMPARE(chart.currentValue(), 3.0 * step);
        QVERIFY(timerOf(chart)->isActive());
    }
    QCOMPARE(chart.currentValue(), 90.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 88.0);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestInstantChart::animationBackwardLandsOnTarget()
{
    InstantChart chart;
    chart.setValue(10);
    chart.setAnimation(true);
    chart.setValue(5.5);
    tick(chart);
    QCOMPARE(chart.currentValue(), 7.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 4.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 5.5);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestInstantChart::animationFinishesAfterSwitchedOff()
{
    InstantChart chart;
    chart.setAnimation(true);
    chart.setValue(5);
    chart.setAnimation(false);
    tick(chart);
    tick(chart);
    QCOMPARE(chart.currentValue(), 6.0);
    tick(chart);
    QCOMPARE(chart.currentValue(), 5.0);
    QVERIFY(!timerOf(chart)->isActive());
}

void TestInstantChart::userValueStartsNoAnimation()
{
    InstantChart chart;
    chart.setAnimation(true);
    chart.setUserValue(500);
    QVERIFY(!timerOf(chart)->isActive());
    QCOMPARE(chart.currentValue(), 0.0);
}

void TestInstantChart::rim_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("showUserValue");
    QTest::addColumn<double>("share");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("defaultsAllFree") << 0.0 << false << 0.02 << Free;
    QTest::newRow("defaultsAllFreeAtEnd") << 0.0 << false << 0.98 << Free;
    QTest::newRow("usedUpToValue") << 1500.0 << false << 0.45 << Used;
    QTest::newRow("freeAfterValue") << 1500.0 << false << 0.55 << Free;
    // User value 80 of 1..2999 ends at 2.6 % of the sweep, whatever the displayed value.
    QTest::newRow("userColourUpToUserValue") << 1500.0 << true << 0.013 << UserValue;
    QTest::newRow("freeAfterUserValue") << 1500.0 << true << 0.1 << Free;
    QTest::newRow("userValueAboveDisplayed") << 1.0 << true << 0.013 << UserValue;
}

void TestInstantChart::rim()
{
    QFETCH(double, value);
    QFETCH(bool, showUserValue);
    QFETCH(double, share);
    QFETCH(QColor, colour);

    InstantChart chart;
    if (value > 0)
        chart.setValue(value);
    chart.setShowUserValue(showUserValue);
    const QImage image = GaugeProbe::render(chart, Size);
    PROBE(image, dialPoint(Size, RimRadius, along(share)), colour, Tolerance);
    // The blank sector at the bottom stays empty.
    PROBE(image, dialPoint(Size, RimRadius, 0), Transparent, Tolerance);
}

void TestInstantChart::noBackground()
{
    InstantChart chart;
    chart.setShowOverlay(false);
    const QImage image = GaugeProbe::render(chart, Size);
    // Between the hub and the ticks, and inside the blank sector, the parent shows through.
    PROBE(image, dialPoint(Size, 40, 90), Transparent, 0);
    PROBE(image, dialPoint(Size, 80, 0), Transparent, 0);
    // Hub ring (opacity 0.6) and hub in the pointer colour.
    PROBE(image, dialPoint(Size, 23, 90), translucent(Pointer, 0.6), Tolerance);
    PROBE(image, dialPoint(Size, 15, 90), Pointer, Tolerance);
}

void TestInstantChart::pointerStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<double>("onPointer");
    QTest::addColumn<QColor>("pointerColour");
    QTest::addColumn<double>("offPointer");

    // The pointer stands straight up; probes stay inside the ticks (radius 50).
    QTest::newRow("circle") << int(InstantChart::PointerStyle_Circle) << 42.0 << Pointer << 33.0;
    QTest::newRow("indicator") << int(InstantChart::PointerStyle_Indicator) << 40.0
                               << translucent(Pointer, 0.8) << -1.0;
    // The line over the triangle's axis doubles up: 1 - 0.4 * 0.4.
    QTest::newRow("indicatorR") << int(InstantChart::PointerStyle_IndicatorR) << 40.0
                                << translucent(Pointer, 0.84) << -1.0;
    QTest::newRow("triangle") << int(InstantChart::PointerStyle_Triangle) << 48.0 << Pointer
                              << 41.0;
    QTest::newRow("unknown") << 12 << -1.0 << Transparent << 40.0;
}

void TestInstantChart::pointerStyles()
{
    QFETCH(int, style);
    QFETCH(double, onPointer);
    QFETCH(QColor, pointerColour);
    QFETCH(double, offPointer);

    InstantChart chart;
    chart.setShowOverlay(false);
    chart.setPointerStyle(static_cast<InstantChart::PointerStyle>(style));
    chart.setValue(1500.0);
    const QImage image = GaugeProbe::render(chart, Size);
    if (onPointer > 0)
        PROBE(image, dialPoint(Size, onPointer, 180), pointerColour, Tolerance);
    if (offPointer > 0)
        PROBE(image, dialPoint(Size, offPointer, 180), Transparent, Tolerance);
    PROBE(image, dialPoint(Size, 40, 160), Transparent, Tolerance);
    // Hub ring and hub are drawn whatever the pointer.
    PROBE(image, dialPoint(Size, 23, 90), translucent(Pointer, 0.6), Tolerance);
    PROBE(image, dialPoint(Size, 15, 90), Pointer, Tolerance);
}

void TestInstantChart::widgetSize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("wideRimLeft") << QSize(400, 200) << QPoint(200 - 94, 100) << Free;
    QTest::newRow("wideRimRight") << QSize(400, 200) << QPoint(200 + 93, 100) << Free;
    QTest::newRow("wideOutsideRim") << QSize(400, 200) << QPoint(200 - 101, 100) << Transparent;
    QTest::newRow("squareRimLeft")
        << QSize(301, 301) << QPoint(150 - qFloor(94 * 1.505), 150) << Free;
    QTest::newRow("squareInsideRim")
        << QSize(301, 301) << QPoint(150 - qFloor(86 * 1.505), 150) << Transparent;
}

void TestInstantChart::widgetSize()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, point);
    QFETCH(QColor, colour);

    InstantChart chart;
    chart.setShowOverlay(false);
    const QImage image = GaugeProbe::render(chart, size);
    PROBE(image, point, colour, Tolerance);
}

QTEST_MAIN(TestInstantChart)
#include "tst_instantchart.moc"
