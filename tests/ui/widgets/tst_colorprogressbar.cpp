#include <QFontMetricsF>
#include <QtTest>

#include <limits>

#include "ui/widgets/colorprogressbar.h"

#include "../chart/gaugeprobe.h"

using GaugeProbe::near;
using GaugeProbe::PaintCounter;
using GaugeProbe::render;

namespace
{

const QColor Background(0, 0, 255);
const QColor Bar(255, 0, 0);
const QColor Tip(0, 255, 0);
const QColor TextColour(255, 255, 0);
const QColor Stripe(0, 0, 0);
const QColor Transparent(Qt::transparent);
const int Tolerance = 3;

void paintWith(ColorProgressBar &bar)
{
    bar.setBackgroundColor(Background);
    bar.setBarColor(Bar);
    bar.setTipColor(Tip);
    bar.setTextColor(TextColour);
    bar.setStripeColor(Stripe);
}

// The width of the text's box for the bar's own font.
qreal boxFor(const ColorProgressBar &bar, const QString &text)
{
    return ColorProgressBar::textBoxWidth(
        QFontMetricsF(bar.font()).size(Qt::TextSingleLine, text).width());
}

// Whether any pixel in the rectangle is close to the colour.
bool anyNear(const QImage &image, const QRect &rect, const QColor &colour, int tolerance)
{
    const QRect area = rect & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (near(image.pixelColor(x, y), colour, tolerance))
                return true;
    return false;
}

} // namespace

class TestColorProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void textAtRightEnd();
    void textAtRightEndWithoutBox();
    void textFollowsBar();
    void bubble();
    void gradientStyle();
    void stripedStyle();
    void thinStripes();
    void solidStyles_data();
    void solidStyles();
    void clamping_data();
    void clamping();
    void setRangeSwaps();
    void setRangeClampsValue();
    void rejectedNumbers();
    void emptyRangePaintsEmpty();
    void equalValueDoesNotRepaint();
    void setStripe_data();
    void setStripe();
};

void TestColorProgressBar::layout_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<bool>("valuePositive");
    QTest::addColumn<QRectF>("bar");
    QTest::addColumn<QRectF>("text");
    QTest::addColumn<bool>("tip");

    const int right = ColorProgressBar::TextAtRightEnd;
    const int follows = ColorProgressBar::TextFollowsBar;
    const int bubble = ColorProgressBar::TextInBubble;
    // Height 60 and a 30-pixel text box throughout.
    QTest::newRow("rightEndWithBox")
        << right << 400 << 0.5 << true << QRectF(0, 0, 360, 60) << QRectF(365, 0, 35, 60) << true;
    QTest::newRow("rightEndTooNarrowForBox")
        << right << 200 << 0.5 << true << QRectF(0, 0, 200, 60) << QRectF(170, 0, 30, 60) << false;
    QTest::newRow("followsEnd") << follows << 400 << 0.5 << true << QRectF(0, 0, 400, 60)
                                << QRectF(170, 0, 30, 60) << false;
    QTest::newRow("followsStartsLeftOfWidget")
        << follows << 400 << 0.05 << true << QRectF(0, 0, 400, 60) << QRectF(-10, 0, 30, 60)
        << false;
    QTest::newRow("bubbleWithRoom")
        << bubble << 400 << 0.5 << true << QRectF(0, 40, 400, 20) << QRectF(185, 5, 30, 25) << true;
    QTest::newRow("bubbleNearStart")
        << bubble << 400 << 0.025 << true << QRectF(0, 40, 400, 20) << QRectF(0, 5, 30, 25) << true;
    QTest::newRow("bubbleAtEnd") << bubble << 400 << 0.95 << true << QRectF(0, 40, 400, 20)
                                 << QRectF(370, 5, 30, 25) << true;
    QTest::newRow("bubbleAtZero") << bubble << 400 << 0.0 << false << QRectF(0, 40, 400, 20)
                                  << QRectF(0, 5, 30, 25) << false;
    QTest::newRow("unknownPosition") << 7 << 400 << 0.5 << true << QRectF() << QRectF() << false;
}

void TestColorProgressBar::layout()
{
    QFETCH(int, position);
    QFETCH(int, width);
    QFETCH(double, fraction);
    QFETCH(bool, valuePositive);
    QFETCH(QRectF, bar);
    QFETCH(QRectF, text);
    QFETCH(bool, tip);

    const ColorProgressBar::Layout layout =
        ColorProgressBar::layoutFor(position, width, 60, fraction, 30, valuePositive);
    QCOMPARE(layout.bar, bar);
    QCOMPARE(layout.text, text);
    QCOMPARE(layout.tip, tip);
}

void TestColorProgressBar::textAtRightEnd()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    paintWith(bar);
    bar.setValue(50);
    QCOMPARE(bar.text(), QStringLiteral("50%"));
    QVERIFY(boxFor(bar, bar.text()) < 60);

    // 600 wide: the bar takes 540, the text box 545..600 on the tip colour.
    const QImage image = render(bar, QSize(600, 40));
    PROBE(image, QPoint(100, 20), Bar, Tolerance);
    PROBE(image, QPoint(400, 20), Background, Tolerance);
    PROBE(image, QPoint(541, 20), Transparent, Tolerance);
    PROBE(image, QPoint(572, 3), Tip, Tolerance);
    QVERIFY(anyNear(image, QRect(545, 0, 55, 40), TextColour, 40));
}

void TestColorProgressBar::textAtRightEndWithoutBox()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    paintWith(bar);
    bar.setValue(50);
    const qreal box = boxFor(bar, bar.text());
    QVERIFY(box > 20);

    const QImage image = render(bar, QSize(200, 40));
    PROBE(image, QPoint(50, 20), Bar, Tolerance);
    PROBE(image, QPoint(150, 20), Background, Tolerance);
    // No tip behind the text: the background shows above the glyphs.
    PROBE(image, QPoint(qFloor(200 - box / 2), 3), Background, Tolerance);
    QVERIFY(anyNear(image, QRect(qFloor(200 - box), 0, qCeil(box), 40), TextColour, 40));
}

void TestColorProgressBar::textFollowsBar()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    paintWith(bar);
    bar.setTextPosition(ColorProgressBar::TextFollowsBar);
    bar.setValue(50);
    const qreal box = boxFor(bar, bar.text());

    const QImage image = render(bar, QSize(400, 40));
    // The text's box ends where the filled part ends, without a tip.
    QVERIFY(anyNear(image, QRect(qFloor(200 - box), 0, qCeil(box), 40), TextColour, 40));
    QVERIFY(!anyNear(image, QRect(203, 0, 197, 40), TextColour, 40));
    PROBE(image, QPoint(qFloor(200 - box / 2), 3), Bar, Tolerance);
    PROBE(image, QPoint(300, 20), Background, Tolerance);
}

void TestColorProgressBar::bubble()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    paintWith(bar);
    bar.setTextPosition(ColorProgressBar::TextInBubble);
    const qreal box = boxFor(bar, bar.text());

    // At 0 the text floats at the start with no bubble and no knob.
    QImage image = render(bar, QSize(400, 60));
    PROBE(image, QPoint(qFloor(box / 2), 6), Transparent, Tolerance);
    PROBE(image, QPoint(100, 50), Background, Tolerance);
    PROBE(image, QPoint(100, 30), Transparent, Tolerance);
    QVERIFY(anyNear(image, QRect(0, 5, qCeil(box), 25), TextColour, 40));
    QVERIFY(!anyNear(image, QRect(0, 0, 400, 60), Tip, 40));

    // At 50 % the bubble starts 15 pixels before the end of the filled part, and the knob sits
    // on the thin bar 10 pixels before that end.
    bar.setValue(50);
    image = render(bar, QSize(400, 60));
    PROBE(image, QPoint(qFloor(185 + box / 2), 6), Tip, Tolerance);
    PROBE(image, QPoint(190, 50), Tip, Tolerance);
    PROBE(image, QPoint(100, 50), Bar, Tolerance);
    PROBE(image, QPoint(300, 50), Background, Tolerance);
    PROBE(image, QPoint(100, 30), Transparent, Tolerance);
}

void TestColorProgressBar::gradientStyle()
{
    ColorProgressBar bar(ColorProgressBar::BarGradient);
    paintWith(bar);
    bar.setGradientStops({{0.0, QColor(255, 0, 0)}, {1.0, QColor(0, 0, 255)}});
    bar.setValue(50);

    const QImage image = render(bar, QSize(600, 40));
    // The gradient runs from the filled part's top left to (its width, its height).
    const QColor start = image.pixelColor(5, 20);
    const QColor end = image.pixelColor(265, 20);
    QVERIFY2(start.red() > 230 && start.blue() < 30, qPrintable(start.name()));
    QVERIFY2(end.blue() > 230 && end.red() < 30, qPrintable(end.name()));
    PROBE(image, QPoint(400, 20), Background, Tolerance);
}

void TestColorProgressBar::stripedStyle()
{
    ColorProgressBar bar(ColorProgressBar::BarStriped);
    paintWith(bar);
    bar.setStripe(5, 4, 6);
    QCOMPARE(bar.radius(), 0);
    bar.setValue(50);

    // Parallelograms every 11 pixels, 6 wide, leaning 4 pixels over the height of 40: at
    // mid-height each covers x + 2 .. x + 8.
    const QImage image = render(bar, QSize(600, 40));
    PROBE(image, QPoint(4, 20), Stripe, Tolerance);
    PROBE(image, QPoint(10, 20), Bar, Tolerance);
    PROBE(image, QPoint(15, 20), Stripe, Tolerance);
    PROBE(image, QPoint(21, 20), Bar, Tolerance);
    PROBE(image, QPoint(268, 20), Stripe, Tolerance);
    // Cut at the end of the filled part (270), and square corners.
    PROBE(image, QPoint(272, 20), Background, Tolerance);
    PROBE(image, QPoint(539, 0), Background, Tolerance);
    PROBE(image, QPoint(2, 1), Stripe, 40);
}

void TestColorProgressBar::thinStripes()
{
    ColorProgressBar bar(ColorProgressBar::BarStriped);
    paintWith(bar);
    bar.setValue(50);
    QCOMPARE(bar.radius(), 10);

    // Lines 2 wide every 7 pixels.
    const QImage image = render(bar, QSize(600, 40));
    PROBE(image, QPoint(7, 20), Stripe, Tolerance);
    PROBE(image, QPoint(10, 20), Bar, Tolerance);
    PROBE(image, QPoint(14, 20), Stripe, Tolerance);
    PROBE(image, QPoint(300, 20), Background, Tolerance);
}

void TestColorProgressBar::solidStyles_data()
{
    QTest::addColumn<int>("style");

    QTest::newRow("solid") << int(ColorProgressBar::BarSolid);
    QTest::newRow("unknownStyle") << 5;
}

void TestColorProgressBar::solidStyles()
{
    QFETCH(int, style);

    ColorProgressBar bar(style);
    paintWith(bar);
    bar.setValue(75);
    const QImage image = render(bar, QSize(600, 40));
    PROBE(image, QPoint(100, 20), Bar, Tolerance);
    PROBE(image, QPoint(400, 20), Bar, Tolerance);
    PROBE(image, QPoint(420, 20), Background, Tolerance);
}

void TestColorProgressBar::clamping_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<int>("precision");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("text");

    QTest::newRow("aboveMaximum") << 150.0 << 0 << 100.0 << "100%";
    QTest::newRow("belowMinimum") << -5.0 << 0 << 0.0 << "0%";
    QTest::newRow("inside") << 45.5 << 1 << 45.5 << "45.5%";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0 << 100.0 << "100%";
}

void TestColorProgressBar::clamping()
{
    QFETCH(double, input);
    QFETCH(int, precision);
    QFETCH(double, stored);
    QFETCH(QString, text);

    ColorProgressBar bar(ColorProgressBar::BarSolid);
    bar.setPrecision(precision);
    bar.setValue(20);
    bar.setValue(input);
    QCOMPARE(bar.value(), stored);
    QCOMPARE(bar.text(), text);
}

void TestColorProgressBar::setRangeSwaps()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    bar.setRange(100, 0);
    QCOMPARE(bar.minimum(), 0.0);
    QCOMPARE(bar.maximum(), 100.0);

    // setMinimum above the maximum swaps the ends too, and the value follows.
    bar.setMinimum(200);
    QCOMPARE(bar.minimum(), 100.0);
    QCOMPARE(bar.maximum(), 200.0);
    QCOMPARE(bar.value(), 100.0);
    bar.setValue(150);
    QCOMPARE(bar.fraction(), 0.5);
}

void TestColorProgressBar::setRangeClampsValue()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    bar.setValue(80);
    bar.setMaximum(50);
    QCOMPARE(bar.value(), 50.0);
    QCOMPARE(bar.text(), QStringLiteral("100%"));
}

void TestColorProgressBar::rejectedNumbers()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    bar.setValue(40);
    bar.setValue(std::numeric_limits<double>::quiet_NaN());
    QCOMPARE(bar.value(), 40.0);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ColorProgressBar: ignoring the range"));
    bar.setRange(std::numeric_limits<double>::quiet_NaN(), 10);
    QCOMPARE(bar.minimum(), 0.0);
    QCOMPARE(bar.maximum(), 100.0);
}

void TestColorProgressBar::emptyRangePaintsEmpty()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    paintWith(bar);
    bar.setRange(5, 5);
    QCOMPARE(bar.value(), 5.0);
    QCOMPARE(bar.fraction(), 0.0);
    QCOMPARE(bar.text(), QStringLiteral("0%"));

    const QImage image = render(bar, QSize(600, 40));
    PROBE(image, QPoint(100, 20), Background, Tolerance);
    QVERIFY(!anyNear(image, image.rect(), Bar, 60));
    QVERIFY(anyNear(image, QRect(540, 0, 60, 40), TextColour, 40));
}

void TestColorProgressBar::equalValueDoesNotRepaint()
{
    ColorProgressBar bar(ColorProgressBar::BarSolid);
    bar.resize(300, 30);
    bar.setValue(45);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCoreApplication::processEvents();

    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.setValue(45);
    bar.setValue(45.0 * (1 + 1e-13));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(counter.count, 0);
    QCOMPARE(bar.value(), 45.0);

    bar.setValue(46);
    QTRY_VERIFY(counter.count > 0);
}

void TestColorProgressBar::setStripe_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("slant");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("radius");

    const int striped = ColorProgressBar::BarStriped;
    QTest::newRow("notStriped") << int(ColorProgressBar::BarGradient) << 5 << 4 << 6 << false << 10;
    QTest::newRow("negativeGap") << striped << -1 << 4 << 6 << false << 10;
    QTest::newRow("negativeWidth") << striped << 5 << 4 << -6 << false << 10;
    QTest::newRow("nothingToStepBy") << striped << 0 << 4 << 0 << false << 10;
    QTest::newRow("thinKeepsRadius") << striped << 3 << -2 << 2 << true << 10;
    QTest::newRow("wideSquaresCorners") << striped << 5 << 4 << 6 << true << 0;
    QTest::newRow("noGap") << striped << 0 << 0 << 3 << true << 0;
}

void TestColorProgressBar::setStripe()
{
    QFETCH(int, style);
    QFETCH(int, gap);
    QFETCH(int, slant);
    QFETCH(int, width);
    QFETCH(bool, stored);
    QFETCH(int, radius);

    ColorProgressBar bar(style);
    if (gap == 0 && width == 0)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("ColorProgressBar: ignoring stripes"));
    bar.setStripe(gap, slant, width);
    QCOMPARE(bar.stripeGap(), stored ? gap : 5);
    QCOMPARE(bar.stripeSlant(), stored ? slant : 0);
    QCOMPARE(bar.stripeWidth(), stored ? width : 2);
    QCOMPARE(bar.radius(), radius);
}

QTEST_MAIN(TestColorProgressBar)
#include "tst_colorprogressbar.moc"
