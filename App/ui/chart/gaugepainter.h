#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QFontMetrics;
class QPainter;
class QRect;
class QRectF;

// Drawing and value rules shared by the round gauges. Every drawing routine works in the
// gauges' logical square of LogicalSide units centred on the dial: x grows to the right, y
// downward, and a rotation of the painter by a positive angle turns clockwise on screen. Each
// routine saves and restores the painter, so nothing it sets leaks into the next layer.
class GaugePainter
{
public:
    static constexpr int LogicalSide = 200;
    static constexpr double FullCircle = 360.0;
    // drawPie and drawArc count angles counter-clockwise from 3 o'clock; straight down is 270.
    static constexpr double StraightDown = 270.0;
    static constexpr int SixteenthsPerDegree = 16;

    // Pointer shapes; the gauges' own enumerations use the same numbers.
    static constexpr int PointerCircle = 0;
    static constexpr int PointerIndicator = 1;
    static constexpr int PointerIndicatorR = 2;
    static constexpr int PointerTriangle = 3;

    // What differs between the gauges' pointers.
    struct PointerLook {
        qreal indicatorROpacity;
        // Distance of the small triangle's base from the centre; its tip lies 10 units further.
        int triangleBase;
    };

    // Opens the logical square: antialiasing, origin at the truncated half width and height,
    // scaled by the shorter side over LogicalSide.
    static void beginLogical(QPainter &painter, int width, int height);

    // Degrees swept clockwise by the dial between its two blank sectors.
    static double sweep(int startAngle, int endAngle);
    // Clockwise rotation from the start of the dial that points at the given value.
    static double valueAngle(double sweep, double minValue, double maxValue, double value);
    // The numbers written at the scaleMajor + 1 major ticks, truncated toward zero.
    static QStringList scaleLabels(double minValue, double maxValue, int scaleMajor);
    // The displayed value with a fixed number of decimals.
    static QString valueText(double value, int precision);
    // The value truncated toward zero, held within the range of int (NaN gives 0): the
    // painter's integer angles and the average gauge's signal are made with it.
    static int truncatedInt(double value);

    // Setter guard that refuses, with a warning naming the gauge, a count of "major" or "minor"
    // scale intervals below 1.
    static bool acceptsScaleIntervals(const char *gauge, const char *kind, int count);

    static void drawDisc(QPainter &painter, int radius, const QColor &color, qreal opacity = 1.0);
    static void drawTicks(QPainter &painter, const QColor &color, int startAngle, double sweep,
                          int scaleMajor, int scaleMinor, int outerRadius);
    // Text is drawn in the painter's font (on the gauge's own painter, the gauge's font) at the
    // pixel size given. The labels are placed by the gauge font's metrics (measure) but drawn
    // at 10 pixels.
    static void drawScaleLabels(QPainter &painter, const QColor &color, const QFontMetrics &measure,
                                int startAngle, double sweep, double minValue, double maxValue,
                                int scaleMajor, int radius);
    // Draws nothing for a style outside the four shapes.
    static void drawPointer(QPainter &painter, int style, const QColor &color, int startAngle,
                            double angle, const PointerLook &look);
    static void drawCenteredText(QPainter &painter, const QString &text, int pixelSize,
                                 const QColor &color, const QRect &rect);
    // The glossy crescent over the upper part of the dial, and the rectangle it lies in.
    static void drawOverlay(QPainter &painter, const QColor &color);
    static QRectF overlayBounds();

private:
    GaugePainter() = delete;
};
