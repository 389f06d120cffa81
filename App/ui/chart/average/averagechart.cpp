#include "averagechart.h"

#include "ui/chart/gaugelayercache.h"
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

const QRectF HubBounds(-HubRingRadius, -HubRingRadius, 2 * HubRingRadius, 2 * HubRingRadius);

// The slots of the pictures that the gauge keeps of its layers. A band that follows the value
// takes three: each part with the scale over it, and the scale alone.
enum Layer {
    DialLayer,
    DiscsLayer,
    BandLayer,
    HubLayer = BandLayer + 3,
    CaptionLayer,
    OverlayLayer
};

} // namespace

AverageChart::AverageChart(QWidget *parent)
    : QWidget(parent), m_precision(0), m_scaleMajor(10), m_scaleMinor(10), m_startAngle(45),
      m_endAngle(45), m_outerCircleColor(80, 80, 80), m_innerCircleColor(60, 60, 60),
      m_pieColorStart(24, 189, 155), m_pieColorMid(218, 218, 0), m_pieColorEnd(255, 107, 107),
      m_coverCircleColor(100, 100, 100), m_scaleColor(255, 255, 255), m_pointerColor(255, 107, 107),
      m_centerCircleColor(250, 250, 250), m_textColor(0, 0, 0), m_captionColor(Qt::white),
      m_captionText(tr("平均值")), m_showOverlay(true), m_overlayColor(255, 255, 255, 60),
      m_pieStyle(PieStyle_Three), m_pointerStyle(PointerStyle_Indicator),
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
    // Everything up to the pointer but a band that follows the value stays put between frames.
    const QRectF whole = painter.worldTransform().inverted().mapRect(QRectF(rect()));
    const QByteArray scaleKey =
        GaugeLayerCache::key(m_coverCircleColor, m_scaleColor, m_startAngle, m_endAngle,
                             m_scaleMajor, m_scaleMinor, minValue(), maxValue(), logicalDpiY());
    const auto drawScale = [&](QPainter &p) {
        GaugePainter::drawDisc(p, CoverRadius, m_coverCircleColor);
        GaugePainter::drawTicks(p, m_scaleColor, m_startAngle, range, m_scaleMajor, m_scaleMinor,
                                TickOuterRadius);
        GaugePainter::drawScaleLabels(p, m_scaleColor, fontMetrics(), m_startAngle, range,
                                      minValue(), maxValue(), m_scaleMajor, LabelRadius);
    };
    const auto drawDiscs = [&](QPainter &p) {
        GaugePainter::drawDisc(p, OuterRadius, m_outerCircleColor);
        GaugePainter::drawDisc(p, InnerRadius, m_innerCircleColor);
    };
    const QByteArray discsKey = GaugeLayerCache::key(m_outerCircleColor, m_innerCircleColor);
    if (m_pieStyle == PieStyle_Current) {
        m_layers.paint(painter, DiscsLayer, discsKey, whole, drawDiscs);
        const QVector<PieSector> sectors = pieSectors();
        GaugeLayerCache::SplitBand band;
        band.key = GaugeLayerCache::key(m_pieColorStart, m_pieColorEnd);
        band.first = {sectors.at(0).startAngle, sectors.at(0).spanAngle};
        band.second = {sectors.at(1).startAngle, sectors.at(1).spanAngle};
        // The cover disc hides the band's middle only when nothing shows through it.
        band.exactFrom = m_coverCircleColor.alpha() == 255 ? CoverRadius - 1 : 0;
        band.drawPiece = [&](QPainter &p, int part, int start, int span) {
            drawSector(p, sectors.at(part).color, start, span);
        };
        band.overKey = scaleKey;
        band.drawOver = drawScale;
        m_layers.paintSplitBand(painter, BandLayer, whole, band);
    } else {
        const QByteArray key =
            discsKey + scaleKey +
            GaugeLayerCache::key(int(m_pieStyle), m_pieColorStart, m_pieColorMid, m_pieColorEnd);
        m_layers.paint(painter, DialLayer, key, whole, [&](QPainter &p) {
            drawDiscs(p);
            drawColorPie(p);
            drawScale(p);
        });
    }

    GaugePainter::drawPointer(
        painter, m_pointerStyle, m_pointerColor, m_startAngle,
        GaugePainter::valueAngle(range, minValue(), maxValue(), currentValue()), PointerLook);
    m_layers.paint(painter, HubLayer, GaugeLayerCache::key(m_pointerColor, m_centerCircleColor),
                   HubBounds, [&](QPainter &p) {
                       GaugePainter::drawDisc(p, HubRingRadius, m_pointerColor, HubRingOpacity);
                       GaugePainter::drawDisc(p, HubRadius, m_centerCircleColor);
                   });
    GaugePainter::drawCenteredText(painter, valueText(), ValuePixelSize, m_textColor, ValueRect);
    if (!m_captionText.isEmpty())
        m_layers.paint(painter, CaptionLayer, GaugeLayerCache::key(m_captionText, m_captionColor),
                       CaptionRect, [&](QPainter &p) {
                           GaugePainter::drawCenteredText(p, m_captionText, CaptionPixelSize,
                                                          m_captionColor, CaptionRect);
                       });
    if (m_showOverlay)
        m_layers.paint(painter, OverlayLayer, GaugeLayerCache::key(m_overlayColor),
                       GaugePainter::overlayBounds(),
                       [&](QPainter &p) { GaugePainter::drawOverlay(p, m_overlayColor); });
}

void AverageChart::drawColorPie(QPainter &painter) const
{
    const QVector<PieSector> sectors = pieSectors();
    for (const PieSector &sector : sectors)
        drawSector(painter, sector.color, sector.startAngle, sector.spanAngle);
}

void AverageChart::drawSector(QPainter &painter, const QColor &color, int start, int span)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPie(QRect(-PieRadius, -PieRadius, PieRadius * 2, PieRadius * 2), start, span);
    painter.restore();
}
