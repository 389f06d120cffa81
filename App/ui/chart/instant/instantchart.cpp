#include "instantchart.h"

#include "ui/chart/gaugelayercache.h"
#include "ui/chart/gaugepainter.h"

#include <QPainter>
#include <QTimer>

namespace
{

// Names the gauge in its warnings.
constexpr char GaugeName[] = "InstantChart";

constexpr double DefaultAnimationStep = 3.0;

constexpr int PreferredSide = 200;
constexpr int MinimumSide = 50;

// The rim stroke fills the ring between radius 89 and 99.
constexpr int RimWidth = 10;
constexpr int RimInnerRadius = 89;
const QRect RimRect(-94, -94, 188, 188);
constexpr int TickOuterRadius = 60;
constexpr int LabelRadius = 75;
constexpr int HubRingRadius = 25;
constexpr qreal HubRingOpacity = 0.6;
constexpr int HubRadius = 20;

constexpr int ValuePixelSize = 14;
constexpr int TitlePixelSize = 13;
const QRect ValueRect(-100, -100, 200, 200);
const QRect TitleRect(-100, 30, 200, 70);

constexpr int LabelFontPointSize = 9;

const GaugePainter::PointerLook PointerLook{0.6, 45};

const QRectF HubBounds(-HubRingRadius, -HubRingRadius, 2 * HubRingRadius, 2 * HubRingRadius);

// The slots of the pictures that the gauge keeps of its layers. The rim takes three: each part
// with the scale over it, and the scale alone.
enum Layer { RimLayer, HubLayer = RimLayer + 3, TitleLayer, OverlayLayer };

} // namespace

InstantChart::InstantChart(QWidget *parent)
    : QWidget(parent), m_scaleMajor(10), m_scaleMinor(10), m_startAngle(45), m_endAngle(45),
      m_showUserValue(false), m_userValue(80.0), m_userValueColor(255, 107, 107),
      m_usedColor(100, 184, 255), m_freeColor(100, 100, 100), m_scaleColor(10, 10, 10),
      m_pointerColor(255, 107, 107), m_textColor(250, 250, 250), m_titleColor(Qt::white),
      m_title(tr("瞬时值")), m_showOverlay(true), m_overlayColor(255, 255, 255, 60),
      m_pointerStyle(PointerStyle_Indicator),
      m_motion(this, GaugeName, DefaultAnimationStep, GaugeMotion::Landing::Exact)
{
    connect(m_motion.timer(), &QTimer::timeout, this, &InstantChart::updateValue);
    // Only measures the scale labels; they are drawn in a pixel-sized font.
    setFont(QFont(QStringLiteral("Arial"), LabelFontPointSize));
}

InstantChart::~InstantChart() = default;

QString InstantChart::valueText() const
{
    return GaugePainter::valueText(currentValue(), 0);
}

QVector<InstantChart::RimArc> InstantChart::rimArcs() const
{
    constexpr double SixteenthsPerDegree = GaugePainter::SixteenthsPerDegree;
    const auto truncatedInt = &GaugePainter::truncatedInt;

    const double range = GaugePainter::sweep(m_startAngle, m_endAngle);
    const double begin = GaugePainter::StraightDown - m_startAngle;
    const double split = m_showUserValue ? m_userValue : currentValue();
    const double a1 = (split - minValue()) / (maxValue() - minValue()) * range;
    const double a2 = range - a1;
    return {
        {truncatedInt((begin - a1) * SixteenthsPerDegree), truncatedInt(a1 * SixteenthsPerDegree),
         m_showUserValue ? m_userValueColor : m_usedColor},
        {truncatedInt((begin - a1 - a2) * SixteenthsPerDegree),
         truncatedInt(a2 * SixteenthsPerDegree), m_freeColor},
    };
}

QSize InstantChart::sizeHint() const
{
    return QSize(PreferredSide, PreferredSide);
}

QSize InstantChart::minimumSizeHint() const
{
    return QSize(MinimumSide, MinimumSide);
}

void InstantChart::updateValue()
{
    m_motion.tick();
}

void InstantChart::setRange(double minValue, double maxValue)
{
    if (!m_motion.setRange(minValue, maxValue))
        return;
    // A target outside the new scale would point off the dial: it moves to the nearer end.
    setValue(qBound(minValue, m_motion.value(), maxValue));
    update();
}

void InstantChart::setMinValue(double minValue)
{
    setRange(minValue, maxValue());
}

void InstantChart::setMaxValue(double maxValue)
{
    setRange(minValue(), maxValue);
}

void InstantChart::setValue(double value)
{
    if (!m_motion.setTarget(value))
        return;
    emit valueChanged(value);
    m_motion.follow();
}

void InstantChart::setValue(int value)
{
    setValue(double(value));
}

void InstantChart::setScaleMajor(int scaleMajor)
{
    if (!GaugePainter::acceptsScaleIntervals(GaugeName, "major", scaleMajor) ||
        scaleMajor == m_scaleMajor)
        return;
    m_scaleMajor = scaleMajor;
    update();
}

void InstantChart::setScaleMinor(int scaleMinor)
{
    if (!GaugePainter::acceptsScaleIntervals(GaugeName, "minor", scaleMinor) ||
        scaleMinor == m_scaleMinor)
        return;
    m_scaleMinor = scaleMinor;
    update();
}

void InstantChart::setStartAngle(int startAngle)
{
    if (startAngle == m_startAngle)
        return;
    m_startAngle = startAngle;
    update();
}

void InstantChart::setEndAngle(int endAngle)
{
    if (endAngle == m_endAngle)
        return;
    m_endAngle = endAngle;
    update();
}

void InstantChart::setAnimation(bool animation)
{
    if (m_motion.setAnimation(animation))
        update();
}

void InstantChart::setAnimationStep(double animationStep)
{
    if (m_motion.setAnimationStep(animationStep))
        update();
}

void InstantChart::setShowUserValue(bool showUserValue)
{
    if (showUserValue == m_showUserValue)
        return;
    m_showUserValue = showUserValue;
    update();
}

void InstantChart::setUserValue(double userValue)
{
    if (!m_motion.isOnScale(userValue) || userValue == m_userValue)
        return;
    m_userValue = userValue;
    update();
}

void InstantChart::setUserValue(int userValue)
{
    setUserValue(double(userValue));
}

void InstantChart::setUserValueColor(const QColor &userValueColor)
{
    if (userValueColor == m_userValueColor)
        return;
    m_userValueColor = userValueColor;
    update();
}

void InstantChart::setUsedColor(const QColor &usedColor)
{
    if (usedColor == m_usedColor)
        return;
    m_usedColor = usedColor;
    update();
}

void InstantChart::setFreeColor(const QColor &freeColor)
{
    if (freeColor == m_freeColor)
        return;
    m_freeColor = freeColor;
    update();
}

void InstantChart::setScaleColor(const QColor &scaleColor)
{
    if (scaleColor == m_scaleColor)
        return;
    m_scaleColor = scaleColor;
    update();
}

void InstantChart::setPointerColor(const QColor &pointerColor)
{
    if (pointerColor == m_pointerColor)
        return;
    m_pointerColor = pointerColor;
    update();
}

void InstantChart::setTextColor(const QColor &textColor)
{
    if (textColor == m_textColor)
        return;
    m_textColor = textColor;
    update();
}

void InstantChart::setTitleColor(const QColor &titleColor)
{
    if (titleColor == m_titleColor)
        return;
    m_titleColor = titleColor;
    update();
}

void InstantChart::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    update();
}

void InstantChart::setShowOverlay(bool showOverlay)
{
    if (showOverlay == m_showOverlay)
        return;
    m_showOverlay = showOverlay;
    update();
}

void InstantChart::setOverlayColor(const QColor &overlayColor)
{
    if (overlayColor == m_overlayColor)
        return;
    m_overlayColor = overlayColor;
    update();
}

void InstantChart::setPointerStyle(InstantChart::PointerStyle pointerStyle)
{
    if (pointerStyle == m_pointerStyle)
        return;
    m_pointerStyle = pointerStyle;
    update();
}

void InstantChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    GaugePainter::beginLogical(painter, width(), height());
    const double range = GaugePainter::sweep(m_startAngle, m_endAngle);
    const QRectF whole = painter.worldTransform().inverted().mapRect(QRectF(rect()));

    drawRim(painter, whole,
            GaugeLayerCache::key(m_scaleColor, m_startAngle, m_endAngle, m_scaleMajor, m_scaleMinor,
                                 minValue(), maxValue(), logicalDpiY()),
            [&](QPainter &p) {
                GaugePainter::drawTicks(p, m_scaleColor, m_startAngle, range, m_scaleMajor,
                                        m_scaleMinor, TickOuterRadius);
                GaugePainter::drawScaleLabels(p, m_scaleColor, fontMetrics(), m_startAngle, range,
                                              minValue(), maxValue(), m_scaleMajor, LabelRadius);
            });
    GaugePainter::drawPointer(
        painter, m_pointerStyle, m_pointerColor, m_startAngle,
        GaugePainter::valueAngle(range, minValue(), maxValue(), currentValue()), PointerLook);
    m_layers.paint(painter, HubLayer, GaugeLayerCache::key(m_pointerColor), HubBounds,
                   [&](QPainter &p) {
                       GaugePainter::drawDisc(p, HubRingRadius, m_pointerColor, HubRingOpacity);
                       GaugePainter::drawDisc(p, HubRadius, m_pointerColor);
                   });
    GaugePainter::drawCenteredText(painter, valueText(), ValuePixelSize, m_textColor, ValueRect);
    if (!m_title.isEmpty())
        m_layers.paint(painter, TitleLayer, GaugeLayerCache::key(m_title, m_titleColor), TitleRect,
                       [&](QPainter &p) {
                           GaugePainter::drawCenteredText(p, m_title, TitlePixelSize, m_titleColor,
                                                          TitleRect);
                       });
    if (m_showOverlay)
        m_layers.paint(painter, OverlayLayer, GaugeLayerCache::key(m_overlayColor),
                       GaugePainter::overlayBounds(),
                       [&](QPainter &p) { GaugePainter::drawOverlay(p, m_overlayColor); });
}

void InstantChart::drawRim(QPainter &painter, const QRectF &bounds, const QByteArray &scaleKey,
                           const GaugeLayerCache::Draw &drawScale)
{
    const QVector<RimArc> arcs = rimArcs();
    QPen pen(QBrush(m_usedColor), RimWidth, Qt::SolidLine, Qt::FlatCap, Qt::MPenJoinStyle);
    GaugeLayerCache::SplitBand rim;
    rim.key = GaugeLayerCache::key(arcs.at(0).color, arcs.at(1).color);
    rim.first = {arcs.at(0).startAngle, arcs.at(0).spanAngle};
    rim.second = {arcs.at(1).startAngle, arcs.at(1).spanAngle};
    rim.exactFrom = RimInnerRadius;
    rim.drawPiece = [&](QPainter &p, int part, int start, int span) {
        p.save();
        p.setBrush(Qt::NoBrush);
        pen.setColor(arcs.at(part).color);
        p.setPen(pen);
        p.drawArc(RimRect, start, span);
        p.restore();
    };
    rim.overKey = scaleKey;
    rim.drawOver = drawScale;
    m_layers.paintSplitBand(painter, RimLayer, bounds, rim);
}
