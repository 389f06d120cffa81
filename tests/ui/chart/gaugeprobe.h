#pragma once

// Pixel probing for painted widgets, with helpers for the round gauges: they draw in a logical
// 200 x 200 square centred on the widget and scaled by the shorter side, with angles measured
// clockwise from straight down, and animate on a timer ticking their private updateValue().

#include <QByteArray>
#include <QColor>
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <QtMath>
#include <QtTest>

namespace GaugeProbe
{

// Renders the widget alone onto a transparent image, so that what the widget leaves unpainted
// stays transparent.
inline QImage render(QWidget &widget, const QSize &size = QSize(200, 200))
{
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The pixel at logical radius r and angle deg (clockwise from straight down) from the centre.
inline QPoint dialPoint(const QSize &size, double r, double deg)
{
    const double scale = qMin(size.width(), size.height()) / 200.0;
    const double rad = qDegreesToRadians(deg);
    const double x = size.width() / 2 + (-std::sin(rad) * r) * scale;
    const double y = size.height() / 2 + (std::cos(rad) * r) * scale;
    return QPoint(qFloor(x), qFloor(y));
}

// The angle (clockwise from straight down) at a share of the default 270-degree sweep.
inline double along(double share)
{
    return 45 + share * 270;
}

// The colour of `top` laid over `bottom` with the given opacity.
inline QColor blend(const QColor &bottom, const QColor &top, double opacity)
{
    return QColor::fromRgbF(bottom.redF() + (top.redF() - bottom.redF()) * opacity,
                            bottom.greenF() + (top.greenF() - bottom.greenF()) * opacity,
                            bottom.blueF() + (top.blueF() - bottom.blueF()) * opacity);
}

// True when the colours match within the tolerance on every channel (alpha too).
inline bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance &&
           qAbs(actual.green() - expected.green()) <= tolerance &&
           qAbs(actual.blue() - expected.blue()) <= tolerance &&
           qAbs(actual.alpha() - expected.alpha()) <= tolerance;
}

// True when the pixel matches the colour within the tolerance on every channel (alpha too);
// otherwise *why says what was found.
inline bool near(const QImage &image, const QPoint &at, const QColor &expected, int tolerance,
                 QByteArray *why)
{
    const QColor actual = image.pixelColor(at);
    const bool ok = near(actual, expected, tolerance);
    if (!ok)
        *why =
            QStringLiteral("pixel (%1, %2) is rgba(%3, %4, %5, %6), expected rgba(%7, %8, %9, %10)")
                .arg(at.x())
                .arg(at.y())
                .arg(actual.red())
                .arg(actual.green())
                .arg(actual.blue())
                .arg(actual.alpha())
                .arg(expected.red())
                .arg(expected.green())
                .arg(expected.blue())
                .arg(expected.alpha())
                .toUtf8();
    return ok;
}

// The gauge's animation timer, its only timer.
inline QTimer *timerOf(QObject &gauge)
{
    return gauge.findChild<QTimer *>();
}

// One animation tick, as the timer would give it.
inline void tick(QObject &gauge)
{
    QVERIFY(QMetaObject::invokeMethod(&gauge, "updateValue"));
}

// Counts the paint events of the widgets it is installed on.
class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace GaugeProbe

// Checks one pixel against a colour with a small tolerance for antialiasing.
#define PROBE(image, point, colour, tolerance)                                                     \
    do {                                                                                           \
        QByteArray why_;                                                                           \
        QVERIFY2(GaugeProbe::near((image), (point), (colour), (tolerance), &why_),                 \
                 why_.constData());                                                                \
    } while (false)
