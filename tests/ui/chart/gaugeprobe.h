#pragma once

// Pixel probing for the round gauges: they draw in a logical 200 x 200 square centred on the
// widget and scaled by the shorter side, with angles measured clockwise from straight down.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <QtMath>

namespace GaugeProbe {

// Renders the widget alone onto a transparent image, so that what the gauge leaves unpainted
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

// The colour of `top` laid over `bottom` with the given opacity.
inline QColor blend(const QColor &bottom, const QColor &top, double opacity)
{
    return QColor::fromRgbF(bottom.redF() + (top.redF() - bottom.redF()) * opacity,
                            bottom.greenF() + (top.greenF() - bottom.greenF()) * opacity,
                            bottom.blueF() + (top.blueF() - bottom.blueF()) * opacity);
}

// True when the pixel matches the colour within the tolerance on every channel (alpha too);
// otherwise *why says what was found.
inline bool near(const QImage &image, const QPoint &at, const QColor &expected, int tolerance,
                 QByteArray *why)
{
    const QColor actual = image.pixelColor(at);
    const bool ok = qAbs(actual.red() - expected.red()) <= tolerance
                    && qAbs(actual.green() - expected.green()) <= tolerance
                    && qAbs(actual.blue() - expected.blue()) <= tolerance
                    && qAbs(actual.alpha() - expected.alpha()) <= tolerance;
    if (!ok)
        *why = QStringLiteral("pixel (%1, %2) is rgba(%3, %4, %5, %6), expected rgba(%7, %8, %9, %10)")
                   .arg(at.x()).arg(at.y())
                   .arg(actual.red()).arg(actual.green()).arg(actual.blue()).arg(actual.alpha())
                   .arg(expected.red()).arg(expected.green()).arg(expected.blue()).arg(expected.alpha())
                   .toUtf8();
    return ok;
}

} // namespace GaugeProbe

// Checks one pixel against a colour with a small tolerance for antialiasing.
#define PROBE(image, point, colour, tolerance)                                               \
    do {                                                                                     \
        QByteArray why_;                                                                     \
        QVERIFY2(GaugeProbe::near((image), (point), (colour), (tolerance), &why_), why_.constData()); \
    } while (false)
