#include "averagechart.h"

#include "ui/chart/gaugepainter.h"

#include <QPainter>
#include <QTimer>

namespace
{

// Names the gauge in its warnings.
constexpr char GaugeName[] = "AverageChart";

constexpr double DefaultAnimationStep = 0.5;

constexpr int PreferredSide = 200;
constexpr int MinimumSide = 50;

constexpr int OuterRadius = 99;
constexpr int InnerRadius = 90;
constexpr int PieRadius = 60;
constexpr int CoverRadius = 50;
constexpr int TickOuterRadius = 72;
constexpr int LabelRadius = 82;
constexpr int HubRingRadius = 18;
constexpr qreal HubRingOpacity = 0.8;
constexpr int HubRadius = 15;

constexpr double PieShareStart = 0.7;
constexpr double PieShareMid = 0.15;
constexpr double PieShareEnd = 0.15;
// The middle and last sectors are nudged counter-clockwise by this many sixteenths of a
// degree each so that no hairline of the layer below shows between them.
constexpr int PieOffset = 3;

constexpr int ValuePixelSize = 14;
constexpr int CaptionPixelSize = 13;
const QRect ValueRect(-100, -100, 200, 200);
const QRect CaptionRect(-100, 30, 200, 70);

constexpr int LabelFontPointSize = 8;

const GaugePainter::PointerLook PointerLook{1.0, 38};

} // namespace

AverageChart::AverageChart(QWidget *parent)
    : QWidget(parent), m_precision(0), m_scaleMajor(10), m_scaleMinor(10), m_startAngle(45),
      m_endAngle(45), m_outerCircleColor(80, 80, 80), m_innerCircleColor(60, 60, 60),
      m_pieColorStart(24, 189, 155), m_pieColorMid(218, 218, 0), m_pieColorEnd(255, 107, 107),
      m_coverCircleColor(100, 100, 100), m_scaleColor(255, 255, 255), m_pointerColor(255, 107, 107),
      m_centerCircleColor(250, 250, 250), m_textColor(0, 0, 0), m_captionColor(Qt::white),
      m_captionText(QStringLiteral("平均值")), m_showOverlay(true),
      m_overlayColor(255, 255, 255, 60), m_pieStyle(PieStyle_Three),
      m_pointerStyle(PointerStyle_Indicator),
      m_motion(this, GaugeName, DefaultAnimationStep, GaugeMotion::Landing::Overshoot)
{
    connect(m_motion.timer(), &QTimer::timeout, this, &AverageChart::updateValue);
    // Only measures the scale labels; they are drawn in a pixel-sized font.
    setFont(QFont(QStringLiteral("Arial"), LabelFontPointSize));
}

AverageChart::~AverageChart() = default;

QString AverageChart::valueText() const
{
    return GaugePainter::valueText(currentValue(), m_precision);
}

QVector<AverageChart::PieSector> AverageChart::pieSectors() const
{
    constexpr double SixteenthsPerDegree = GaugePainter::SixteenthsPerDegree;
    const auto truncatedInt = &GaugePainter::truncatedInt;

    const double range = GaugePainter::sweep(m_startAngle, m_endAngle);
    const double begin = GaugePainter::StraightDown - m_startAngle;
    QVector<PieSector> sectors;
    switch (m_pieStyle) {
    case PieStyle_Three: {
        const double a1 = range * PieShareStart;
        const double a2 = range * PieShareMid;
        const double a3 = range * PieShareEnd;
        sectors.append({truncatedInt((begin - a1) * SixteenthsPerDegree),
                        truncatedInt(a1 * SixteenthsPerDegree), m_pieColorStart});
        sectors.append({truncatedInt((begin - a1 - a2) * SixteenthsPerDegree + PieOffset),
                        truncatedInt(a2 * SixteenthsPerDegree), m_pieColorMid});
        sectors.append({truncatedInt((begin - a1 - a2 - a3) * SixteenthsPerDegree + 2 * PieOffset),
                        truncatedInt(a3 * SixteenthsPerDegree), m_pieColorEnd});
        break;
    }
    case PieStyle_Current: {
        const double a1 = (currentValue() - minValue()) / (maxValue() - minValue()) * range;
        const double a2 = range - a1;
        sectors.append({truncatedInt((begin - a1) * SixteenthsPerDegree),
                        truncatedInt(a1 * SixteenthsPerDegree), m_pieColorStart});
        sectors.append({truncatedInt((begin - a1 - a2) * SixteenthsPerDegree),
                        truncatedInt(a2 * SixteenthsPerDegree), m_pieColorEnd});
        break;
    }
    default:
        break;
    }
    return sectors;
}

QSize AverageChart::sizeHint() const
{
    return QSize(PreferredSide, PreferredSide);
}

QSize AverageChart::minimumSizeHint() const
{
    return QSize(MinimumSide, MinimumSide);
}

void AverageChart::updateValue()
{
    m_motion.tick();
}

void AverageChart::setRange(double minValue, double maxValue)
{
    if (!m_motion.setRange(minValue, maxValue))
        return;
    // A target outside the new scale would point off the dial: it moves to the nearer end.
    setValue(qBound(minValue, m_motion.value(), maxValue));
    update();
}

void AverageChart::setRange(int minValue, int maxValue)
{
    setRange(double(minValue), double(maxValue));
}

void AverageChart::setMinValue(double minValue)
{
    setRange(minValue, maxValue());
}

void AverageChart::setMaxValue(double maxValue)
{
    setRange(minValue(), maxValue);
}

void AverageChart::setValue(double value)
{
    if (!m_motion.setTarget(value))
        return;
    emit valueChanged(GaugePainter::truncatedInt(value));
    m_motion.follow();
}

void AverageChart::setValue(int value)
{
    setValue(double(value));
}

void AverageChart::setPrecision(int precision)
{
    if (precision > MaxPrecision || precision == m_precision)
        return;
    m_precision = precision;
    update();
}

void AverageChart::setScaleMajor(int scaleMajor)
{
    if (!GaugePainter::acceptsScaleIntervals(GaugeName, "major", scaleMajor) ||
        scaleMajor == m_scaleMajor)
        return;
    m_scaleMajor = scaleMajor;
    update();
}

void AverageChart::setScaleMinor(int scaleMinor)
{
    if (!GaugePainter::acceptsScaleIntervals(GaugeName, "minor", scaleMinor) ||
        scaleMinor == m_scaleMinor)
        return;
    m_scaleMinor = scaleMinor;
    update();
}

void AverageChart::setStartAngle(int startAngle)
{
    if (startAngle == m_startAngle)
        return;
    m_startAngle = startAngle;
    update();
}

void AverageChart::setEndAngle(int endAngle)
{
    if (endAngle == m_endAngle)
        return;
    m_endAngle = endAngle;
    update();
}

void AverageChart::setAnimation(bool animation)
{
    if (m_motion.setAnimation(animation))
        update();
}

void AverageChart::setAnimationStep(double animationStep)
{
    if (m_motion.setAnimationStep(animationStep))
        update();
}

void AverageChart::setOuterCircleColor(const QColor &outerCircleColor)
{
    if (outerCircleColor == m_outerCircleColor)
        return;
    m_outerCircleColor = outerCircleColor;
    update();
}

void AverageChart::setInnerCircleColor(const QColor &innerCircleColor)
{
    if (innerCircleColor == m_innerCircleColor)
        return;
    m_innerCircleColor = innerCircleColor;
    update();
}

void AverageChart::setPieColorStart(const QColor &pieColorStart)
{
    if (pieColorStart == m_pieColorStart)
        return;
    m_pieColorStart = pieColorStart;
    update();
}

void AverageChart::setPieColorMid(const QColor &pieColorMid)
{
    if (pieColorMid == m_pieColorMid)
        return;
    m_pieColorMid = pieColorMid;
    update();
}

void AverageChart::setPieColorEnd(const QColor &pieColorEnd)
{
    if (pieColorEnd == m_pieColorEnd)
        return;
    m_pieColorEnd = pieColorEnd;
    update();
}

void AverageChart::setCoverCircleColor(const QColor &coverCircleColor)
{
    if (coverCircleColor == m_coverCircleColor)
        return;
    m_coverCircleColor = coverCircleColor;
    update();
}

void AverageChart::setScaleColor(const QColor &scaleColor)
{
    if (scaleColor == m_scaleColor)
        return;
    m_scaleColor = scaleColor;
    update();
}

void AverageChart::setPointerColor(const QColor &pointerColor)
{
    if (pointerColor == m_pointerColor)
        return;
    m_pointerColor = pointerColor;
    update();
}

void AverageChart::setCenterCircleColor(const QColor &centerCircleColor)
{
    if (centerCircleColor == m_centerCircleColor)
        return;
    m_centerCircleColor = centerCircleColor;
    update();
}

void AverageChart::setTextColor(const QColor &textColor)
{
    if (textColor == m_textColor)
        return;
    m_textColor = textColor;
    update();
}

void AverageChart::setShowOverlay(bool showOverlay)
{
    if (showOverlay == m_showOverlay)
        return;
    m_showOverlay = showOverlay;
    update();
}

void AverageChart::setOverlayColor(const QColor &overlayColor)
{
    if (overlayColor == m_overlayColor)
        return;
    m_overlayColor = overlayColor;
    update();
}

void AverageChart::setPieStyle(AverageChart::PieStyle pieStyle)
{
    if (pieStyle == m_pieStyle)
        return;
    m_pieStyle = pieStyle;
    update();
}

void AverageChart::setPointerStyle(AverageChart::PointerStyle pointerStyle)
{
    if (pointerStyle == m_pointerStyle)
        return;
    m_pointerStyle = pointerStyle;
    update();
}

void AverageChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    GaugePainter::beginLogical(painter, width(), height());
    const double range = GaugePainter::sweep(m_startAngle, m_endAngle);

    GaugePainter::drawDisc(painter, OuterRadius, m_outerCircleColor);
    GaugePainter::drawDisc(painter, InnerRadius, m_innerCircleColor);
    drawColorPie(painter);
    GaugePainter::drawDisc(painter, CoverRadius, m_coverCircleColor);
    GaugePainter::drawTicks(painter, m_scaleColor, m_startAngle, range, m_scaleMajor, m_scaleMinor,
                            TickOuterRadius);
    GaugePainter::drawScaleLabels(painter, m_scaleColor, fontMetrics(), m_startAngle, range,
                                  minValue(), maxValue(), m_scaleMajor, LabelRadius);
    GaugePainter::drawPointer(
        painter, m_pointerStyle, m_pointerColor, m_startAngle,
        GaugePainter::valueAngle(range, minValue(), maxValue(), currentValue()), PointerLook);
    GaugePainter::drawDisc(painter, HubRingRadius, m_pointerColor, HubRingOpacity);
    GaugePainter::drawDisc(painter, HubRadius, m_centerCircleColor);
    GaugePainter::drawCenteredText(painter, valueText(), ValuePixelSize, m_textColor, ValueRect);
    if (!m_captionText.isEmpty())
        GaugePainter::drawCenteredText(painter, m_captionText, CaptionPixelSize, m_captionColor,
                                       CaptionRect);
    if (m_showOverlay)
        GaugePainter::drawOverlay(painter, m_overlayColor);
}

void AverageChart::drawColorPie(QPainter &painter) const
{
    painter.save();
    painter.setPen(Qt::NoPen);
    const QRect pieRect(-PieRadius, -PieRadius, PieRadius * 2, PieRadius * 2);
    const QVector<PieSector> sectors = pieSectors();
    for (const PieSector &sector : sectors) {
        painter.setBrush(sector.color);
        painter.drawPie(pieRect, sector.startAngle, sector.spanAngle);
    }
    painter.restore();
}
