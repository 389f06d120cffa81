#include <QImage>
#include <QVariantMap>
#include <QtTest>

#include <memory>

#include "ui/chart/average/averagechart.h"
#include "ui/chart/gaugelayercache.h"
#include "ui/chart/instant/instantchart.h"

// The gauges keep pictures of their layers between frames; what they show must stay what they
// would draw without them.
class TestGaugeLayerCache : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void framesMatchAcrossTheRange_data();
    void framesMatchAcrossTheRange();
    void changeAfterACachedFrame_data();
    void changeAfterACachedFrame();
};

namespace
{

constexpr int ValueSteps = 16;

std::unique_ptr<QWidget> makeGauge(const QByteArray &kind)
{
    if (kind == "average")
        return std::make_unique<AverageChart>();
    return std::make_unique<InstantChart>();
}

QImage frame(QWidget &gauge, const QSize &size, qreal ratio, bool cached)
{
    GaugeLayerCache::setEnabled(cached);
    gauge.resize(size);
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    gauge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    GaugeLayerCache::setEnabled(true);
    return image;
}

// Blending a layer through its picture rounds differently from blending it straight: any pixel
// may differ by a level. Antialiased pixels where a picture meets what is drawn live may differ
// by a shade: at most this much on any channel, in at most this many pixels of a frame.
constexpr int Rounding = 1;
constexpr int Shade = 16;
constexpr int ShadedPixels = 8;

// Empty when the frames match, otherwise what differs.
QByteArray difference(const QImage &cached, const QImage &reference)
{
    if (cached.size() != reference.size())
        return "sizes differ";
    int shaded = 0;
    for (int y = 0; y < cached.height(); ++y) {
        const auto *a = reinterpret_cast<const QRgb *>(cached.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(reference.constScanLine(y));
        for (int x = 0; x < cached.width(); ++x) {
            const int most =
                qMax(qMax(qAbs(qRed(a[x]) - qRed(b[x])), qAbs(qGreen(a[x]) - qGreen(b[x]))),
                     qMax(qAbs(qBlue(a[x]) - qBlue(b[x])), qAbs(qAlpha(a[x]) - qAlpha(b[x]))));
            if (most > Shade)
                return QByteArray("pixel (%1, %2) is %3, drawn without the cache %4")
                    .replace("%1", QByteArray::number(x))
                    .replace("%2", QByteArray::number(y))
                    .replace("%3", QByteArray::number(a[x], 16))
                    .replace("%4", QByteArray::number(b[x], 16));
            if (most > Rounding && ++shaded > ShadedPixels)
                return "more than " + QByteArray::number(ShadedPixels) +
                       " pixels differ by more than rounding";
        }
    }
    return {};
}

} // namespace

void TestGaugeLayerCache::cleanup()
{
    GaugeLayerCache::setEnabled(true);
}

void TestGaugeLayerCache::framesMatchAcrossTheRange_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QVariantMap>("properties");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");

    const QSize small(200, 200), large(600, 600);
    for (const QByteArray kind : {"average", "instant"}) {
        const auto row = [&kind](const char *name) {
            return &QTest::newRow((kind + '/' + name).constData());
        };
        *row("defaults") << kind << QVariantMap() << small << 1.0;
        *row("large") << kind << QVariantMap() << large << 1.0;
        *row("oddSquare") << kind << QVariantMap() << QSize(301, 301) << 1.0;
        *row("wide") << kind << QVariantMap() << QSize(400, 200) << 1.0;
        *row("tiny") << kind << QVariantMap() << QSize(50, 50) << 1.0;
        *row("doubleRatio") << kind << QVariantMap() << small << 2.0;
        *row("circlePointer") << kind << QVariantMap{{"pointerStyle", 0}} << small << 1.0;
        *row("indicatorRPointer") << kind << QVariantMap{{"pointerStyle", 2}} << large << 1.0;
        *row("trianglePointer") << kind << QVariantMap{{"pointerStyle", 3}} << small << 1.0;
        *row("fullCircle") << kind << QVariantMap{{"startAngle", 0}, {"endAngle", 0}} << small
                           << 1.0;
        *row("noOverlay") << kind << QVariantMap{{"showOverlay", false}} << small << 1.0;
    }
    QTest::newRow("average/bandFollowsValue")
        << QByteArray("average") << QVariantMap{{"pieStyle", 1}} << large << 1.0;
    QTest::newRow("average/bandUnderSeeThroughCover")
        << QByteArray("average")
        << QVariantMap{{"pieStyle", 1}, {"coverCircleColor", QColor(100, 100, 100, 128)}} << small
        << 1.0;
    QTest::newRow("average/bandSmallRatio")
        << QByteArray("average") << QVariantMap{{"pieStyle", 1}} << small << 2.0;
    QTest::newRow("instant/userValue")
        << QByteArray("instant") << QVariantMap{{"showUserValue", true}} << large << 1.0;
    QTest::newRow("instant/narrowDial")
        << QByteArray("instant") << QVariantMap{{"startAngle", 120}, {"endAngle", 150}} << large
        << 1.0;
}

// One gauge walks the range, showing every value from its pictures; a second one draws each
// value without them.
void TestGaugeLayerCache::framesMatchAcrossTheRange()
{
    QFETCH(QByteArray, kind);
    QFETCH(QVariantMap, properties);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);

    const auto cached = makeGauge(kind);
    const auto reference = makeGauge(kind);
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        QVERIFY(cached->setProperty(it.key().toLatin1(), it.value()));
        QVERIFY(reference->setProperty(it.key().toLatin1(), it.value()));
    }
    const double minValue = cached->property("minValue").toDouble();
    const double maxValue = cached->property("maxValue").toDouble();
    for (int i = 0; i <= ValueSteps; ++i) {
        // Uneven steps, so that the value falls between the scale's ticks.
        const double value = minValue + (maxValue - minValue) * i / ValueSteps * 0.999;
        cached->setProperty("value", value);
        reference->setProperty("value", value);
        const QByteArray why =
            difference(frame(*cached, size, ratio, true), frame(*reference, size, ratio, false));
        QVERIFY2(why.isEmpty(), (QByteArray::number(value) + ": " + why).constData());
    }
}

void TestGaugeLayerCache::changeAfterACachedFrame_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariantMap>("setup"); // before the first frame

    const auto row = [](const QByteArray &kind, const QByteArray &property, const QVariant &value,
                        const QVariantMap &setup = {}) {
        const QByteArray name = kind + '/' + property + (setup.isEmpty() ? "" : "/setUp");
        QTest::newRow(name.constData()) << kind << property << value << setup;
    };
    const QColor colour(200, 40, 160);
    const QVariantMap bandFollows{{"pieStyle", 1}};
    const QVariantMap userSplit{{"showUserValue", true}};
    for (const char *name : {"scaleColor", "pointerColor", "textColor", "overlayColor"}) {
        row("average", name, colour);
        row("instant", name, colour);
    }
    for (const char *name : {"outerCircleColor", "innerCircleColor", "pieColorStart", "pieColorMid",
                             "pieColorEnd", "coverCircleColor", "centerCircleColor"})
        row("average", name, colour);
    for (const char *name : {"pieColorStart", "pieColorEnd", "coverCircleColor"})
        row("average", name, colour, bandFollows);
    for (const char *name : {"usedColor", "freeColor", "titleColor"})
        row("instant", name, colour);
    row("instant", "userValueColor", colour, userSplit);
    row("instant", "userValue", 2500.0, userSplit);
    for (const QByteArray kind : {"average", "instant"}) {
        row(kind, "minValue", -500.0);
        row(kind, "maxValue", 5000.0);
        row(kind, "scaleMajor", 7);
        row(kind, "scaleMinor", 3);
        row(kind, "startAngle", 60);
        row(kind, "endAngle", 20);
        row(kind, "pointerStyle", 3);
        row(kind, "showOverlay", false);
        row(kind, "font", QFont(QStringLiteral("Serif"), 14));
    }
    row("average", "precision", 2);
    row("average", "pieStyle", 1);
    row("average", "startAngle", 60, bandFollows);
    row("instant", "title", QStringLiteral("流量"));
    row("instant", "showUserValue", true);
    row("instant", "startAngle", 60, userSplit);
}

// Regression guard for a key that misses what draws a layer: the change must show at once.
void TestGaugeLayerCache::changeAfterACachedFrame()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(QVariantMap, setup);

    const auto gauge = makeGauge(kind);
    const QSize size(240, 240);
    gauge->setProperty("value", 1800.0);
    if (kind == "instant")
        gauge->setProperty("userValue", 900.0);
    for (auto it = setup.cbegin(); it != setup.cend(); ++it)
        QVERIFY(gauge->setProperty(it.key().toLatin1(), it.value()));
    const QImage before = frame(*gauge, size, 1.0, true);
    QVERIFY(gauge->setProperty(property, value));
    const QImage after = frame(*gauge, size, 1.0, true);
    QVERIFY2(after != before, "the change drew nothing");
    const QByteArray why = difference(after, frame(*gauge, size, 1.0, false));
    QVERIFY2(why.isEmpty(), why.constData());
}

QTEST_MAIN(TestGaugeLayerCache)
#include "tst_gaugelayercache.moc"
