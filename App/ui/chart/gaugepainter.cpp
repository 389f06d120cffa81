#include "gaugepainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QTransform>
#include <QtDebug>

#include <cmath>
#include <limits>

namespace
{

constexpr double DegToRad = 0.017453292519943295;
// The scale labels start a quarter turn before the blank start sector (angles of sin / cos
// run counter-clockwise from 3 o'clock).
constexpr double LabelQuarterTurn = 90.0;
constexpr int LabelPixelSize = 10;

constexpr int MajorTickLength = 10;
constexpr int MinorTickLength = 5;
constexpr qreal MajorTickWidth = 1.5;
constexpr qreal MinorTickWidth = 0.5;

constexpr int CirclePointerRadius = 6;
constexpr int CirclePointerCentre = 42;
constexpr int IndicatorHalfBase = 5;
constexpr int IndicatorLength = 75;
constexpr qreal IndicatorOpacity = 0.8;
constexpr qreal IndicatorRLineWidth = 4.0;
constexpr int TriangleHalfBase = 5;
constexpr int TriangleHeight = 10;

// The highlight: a disc just inside the inner rim, less a large disc whose centre lies below
// the dial, leaves a crescent over the top; it leans 20 degrees to the left.
constexpr int OverlayRadius = 89;
constexpr int OverlayCutRadius = 178;
constexpr int OverlayCutTop = -38;
constexpr int OverlayTopAlpha = 100;
constexpr int OverlayBottomAlpha = 30;
constexpr qreal OverlayTilt = -20.0;

// A disc just inside the inner rim less a large disc below the dial, upright.
const QPainterPath &crescent()
{
    static const QPainterPath path = [] {
        QPainterPath disc;
        disc.addEllipse(-OverlayRadius, -OverlayRadius, OverlayRadius * 2, OverlayRadius * 2);
        QPainterPath cut;
        cut.addEllipse(-OverlayCutRadius, OverlayCutTop, OverlayCutRadius * 2,
                       OverlayCutRadius * 2);
        return disc - cut;
    }();
    return path;
}

} // namespace

void GaugePainter::beginLogical(QPainter &painter, int width, int height)
{
    const int side = qMin(width, height);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(width / 2, height / 2);
    painter.scale(side / double(LogicalSide), side / double(LogicalSide));
}

double GaugePainter::sweep(int startAngle, int endAngle)
{
    return FullCircle - startAngle - endAngle;
}

double GaugePainter::valueAngle(double sweep, double minValue, double maxValue, double value)
{
    return sweep / (maxValue - minValue) * (value - minValue);
}

QStringList GaugePainter::scaleLabels(double minValue, double maxValue, int scaleMajor)
{
    QStringList labels;
    if (scaleMajor < 1)
        return labels;
    const double interval = (maxValue - minValue) / scaleMajor;
    for (int i = 0; i <= scaleMajor; ++i) {
        const double value = i * interval + minValue;
        // Adding zero turns a truncated -0 into 0.
        labels << QString::number(std::trunc(value) + 0.0, 'f', 0);
    }
    return labels;
}

QString GaugePainter::valueText(double value, int precision)
{
    return QStringLiteral("%1").arg(value, 0, 'f', precision);
}

int GaugePainter::truncatedInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

bool GaugePainter::acceptsScaleIntervals(const char *gauge, const char *kind, int count)
{
    if (count >= 1)
        return true;
    qWarning().nospace() << gauge << ": ignoring " << count << ' ' << kind << " scale intervals";
    return false;
}

void GaugePainter::drawDisc(QPainter &painter, int radius, const QColor &color, qreal opacity)
{
    painter.save();
    painter.setOpacity(opacity);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(-radius, -radius, radius * 2, radius * 2);
    painter.restore();
}

void GaugePainter::drawTicks(QPainter &painter, const QColor &color, int startAngle, double sweep,
                             int scaleMajor, int scaleMinor, int outerRadius)
{
    if (scaleMajor < 1 || scaleMinor < 1)
        return;
    painter.save();
    painter.rotate(startAngle);
    const int steps = scaleMajor * scaleMinor;
    const double angleStep = sweep / steps;
    QPen pen(color);
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i <= steps; ++i) {
        if (i % scaleMinor == 0) {
            pen.setWidthF(MajorTickWidth);
            painter.setPen(pen);
            painter.drawLine(0, outerRadius - MajorTickLength, 0, outerRadius);
        } else {
            pen.setWidthF(MinorTickWidth);
            painter.setPen(pen);
            painter.drawLine(0, outerRadius - MinorTickLength, 0, outerRadius);
        }
        painter.rotate(angleStep);
    }
    painter.restore();
}

void GaugePainter::drawScaleLabels(QPainter &painter, const QColor &color,
                                   const QFontMetrics &measure, int startAngle, double sweep,
                                   double minValue, double maxValue, int scaleMajor, int radius)
{
    if (scaleMajor < 1)
        return;
    painter.save();
    painter.setPen(color);
    QFont font = painter.font();
    font.setPixelSize(LabelPixelSize);
    painter.setFont(font);

    const double startRad = (FullCircle - startAngle - LabelQuarterTurn) * DegToRad;
    const double deltaRad = sweep * DegToRad / scaleMajor;
    const QStringList labels = scaleLabels(minValue, maxValue, scaleMajor);
    for (int i = 0; i <= scaleMajor; ++i) {
        const double sine = std::sin(startRad - i * deltaRad);
        const double cosine = std::cos(startRad - i * deltaRad);
        const QString &label = labels.at(i);
        const int w = measure.horizontalAdvance(label);
        const int h = measure.height();
        const int x = static_cast<int>(radius * cosine - w / 2.0);
        const int y = static_cast<int>(-radius * sine + h / 4.0);
        painter.drawText(x, y, label);
    }
    painter.restore();
}

void GaugePainter::drawPointer(QPainter &painter, int style, const QColor &color, int startAngle,
                               double angle, const PointerLook &look)
{
    if (style < PointerCircle || style > PointerTriangle)
        return;
    painter.save();
    painter.rotate(startAngle);
    painter.rotate(angle);
    painter.setBrush(color);

    const QPolygonF indicator({QPointF(-IndicatorHalfBase, 0), QPointF(IndicatorHalfBase, 0),
                               QPointF(0, IndicatorLength)});
    switch (style) {
    case PointerCircle:
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(-CirclePointerRadius, CirclePointerCentre - CirclePointerRadius,
                            CirclePointerRadius * 2, CirclePointerRadius * 2);
        break;
    case PointerIndicator:
        painter.setOpacity(IndicatorOpacity);
        painter.setPen(Qt::NoPen);
        painter.drawConvexPolygon(indicator);
        break;
    case PointerIndicatorR: {
        painter.setOpacity(look.indicatorROpacity);
        QPen pen(color, 1);
        painter.setPen(pen);
        painter.drawConvexPolygon(indicator);
        pen.setWidthF(IndicatorRLineWidth);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.drawLine(0, 0, 0, IndicatorLength);
        break;
    }
    case PointerTriangle: {
        painter.setPen(Qt::NoPen);
        const QPolygonF triangle({QPointF(-TriangleHalfBase, look.triangleBase),
                                  QPointF(TriangleHalfBase, look.triangleBase),
                                  QPointF(0, look.triangleBase + TriangleHeight)});
        painter.drawConvexPolygon(triangle);
        break;
    }
    default:
        break;
    }
    painter.restore();
}

void GaugePainter::drawCenteredText(QPainter &painter, const QString &text, int pixelSize,
                                    const QColor &color, const QRect &rect)
{
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, Qt::AlignCenter, text);
    painter.restore();
}

void GaugePainter::drawOverlay(QPainter &painter, const QColor &color)
{
    painter.save();
    QLinearGradient gradient(0, -OverlayRadius, 0, 0);
    QColor top = color;
    top.setAlpha(OverlayTopAlpha);
    QColor bottom = color;
    bottom.setAlpha(OverlayBottomAlpha);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);

    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.rotate(OverlayTilt);
    painter.drawPath(crescent());
    painter.restore();
}

QRectF GaugePainter::overlayBounds()
{
    static const QRectF bounds = QTransform().rotate(OverlayTilt).map(crescent()).boundingRect();
    return bounds;
}
