#include "colorprogressbar.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPointF>
#include <QtDebug>

#include <cmath>

namespace
{

// Text at the right end: it gets its own box when it fits in the last tenth of the width.
constexpr double TextShare = 0.1;
constexpr int TextGap = 5;
constexpr qreal TextBoxFactor = 1.2;
constexpr qreal TextBoxPadding = 5;
// Bubble position: the bar takes the lowest third, the bubble sits from 1/12 to 6/12 of the
// height and starts a little before the end of the filled part.
constexpr int BubbleLead = 15;
constexpr int BubbleRadius = 3;
constexpr int KnobMaxDiameter = 10;
// Stripes up to this width are drawn as lines, wider ones as filled quadrilaterals.
constexpr int ThinStripeLimit = 3;

} // namespace

ColorProgressBar::ColorProgressBar(int barStyle, QWidget *parent)
    : QWidget(parent), m_minimum(0.0), m_maximum(100.0), m_value(0.0), m_barColor(255, 107, 107),
      m_stripeColor(255, 107, 10), m_backgroundColor(Qt::white), m_textColor(Qt::black),
      m_tipColor(Qt::white), m_precision(0), m_radius(10), m_textPosition(TextAtRightEnd),
      m_barStyle(barStyle), m_stripeWidth(2), m_stripeSlant(0), m_stripeGap(5)
{
}

double ColorProgressBar::fraction() const
{
    // An empty range has no share to show: the bar stays empty rather than painting NaN.
    const double span = m_maximum - m_minimum;
    if (!(span > 0))
        return 0.0;
    return (m_value - m_minimum) / span;
}

QString ColorProgressBar::text() const
{
    return QStringLiteral("%1%").arg(QString::number(fraction() * 100, 'f', m_precision));
}

qreal ColorProgressBar::textBoxWidth(qreal textWidth)
{
    return textWidth * TextBoxFactor + TextBoxPadding;
}

ColorProgressBar::Layout ColorProgressBar::layoutFor(int textPosition, int width, int height,
                                                     double fraction, qreal textBoxWidth,
                                                     bool valuePositive)
{
    const int w = width;
    const int h = height;
    const qreal box = textBoxWidth;
    const qreal end = w * fraction;
    switch (textPosition) {
    case TextAtRightEnd:
        if (box < w * TextShare)
            return {QRectF(0, 0, w * (1 - TextShare), h),
                    QRectF(w * (1 - TextShare) + TextGap, 0, w * TextShare - TextGap, h), true};
        return {QRectF(0, 0, w, h), QRectF(w - box, 0, box, h), false};
    case TextFollowsBar:
        return {QRectF(0, 0, w, h), QRectF(end - box, 0, box, h), false};
    case TextInBubble: {
        const QRectF bar(0, (2 * h) / 3, w, h / 3);
        const qreal left = (w - end > box) ? end - qMin(end, qreal(BubbleLead)) : w - box;
        return {bar, QRectF(left, h / 12, box, (5 * h) / 12), valuePositive};
    }
    default:
        return {QRectF(), QRectF(), false};
    }
}

void ColorProgressBar::setTextColor(const QColor &textColor)
{
    if (textColor == m_textColor)
        return;
    m_textColor = textColor;
    update();
}

void ColorProgressBar::setTipColor(const QColor &tipColor)
{
    if (tipColor == m_tipColor)
        return;
    m_tipColor = tipColor;
    update();
}

void ColorProgressBar::setBarColor(const QColor &barColor)
{
    if (barColor == m_barColor)
        return;
    m_barColor = barColor;
    update();
}

void ColorProgressBar::setStripeColor(const QColor &stripeColor)
{
    if (stripeColor == m_stripeColor)
        return;
    m_stripeColor = stripeColor;
    update();
}

void ColorProgressBar::setBackgroundColor(const QColor &backgroundColor)
{
    if (backgroundColor == m_backgroundColor)
        return;
    m_backgroundColor = backgroundColor;
    update();
}

void ColorProgressBar::setGradientStops(const QGradientStops &gradientStops)
{
    if (gradientStops == m_gradientStops)
        return;
    m_gradientStops = gradientStops;
    update();
}

void ColorProgressBar::setPrecision(int precision)
{
    if (precision == m_precision)
        return;
    m_precision = precision;
    update();
}

void ColorProgressBar::setRadius(int radius)
{
    if (radius == m_radius)
        return;
    m_radius = radius;
    update();
}

void ColorProgressBar::setTextPosition(int textPosition)
{
    if (textPosition == m_textPosition)
        return;
    m_textPosition = textPosition;
    update();
}

void ColorProgressBar::setBarStyle(int barStyle)
{
    if (barStyle == m_barStyle)
        return;
    m_barStyle = barStyle;
    update();
}

void ColorProgressBar::setStripe(int stripeGap, int stripeSlant, int stripeWidth)
{
    if (m_barStyle != BarStriped || stripeGap < 0 || stripeWidth < 0)
        return;
    // Each stripe steps on by width + gap; with nothing to step by, painting would never end.
    if (stripeGap == 0 && stripeWidth == 0) {
        qWarning() << "ColorProgressBar: ignoring stripes of width 0 with gap 0";
        return;
    }
    m_stripeGap = stripeGap;
    m_stripeSlant = stripeSlant;
    m_stripeWidth = stripeWidth;
    if (stripeWidth >= ThinStripeLimit)
        m_radius = 0;
    update();
}

void ColorProgressBar::setRange(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max)) {
        qWarning() << "ColorProgressBar: ignoring the range" << min << max;
        return;
    }
    m_minimum = min;
    m_maximum = max;
    if (m_minimum > m_maximum)
        qSwap(m_minimum, m_maximum);
    m_value = qBound(m_minimum, m_value, m_maximum);
    update();
}

void ColorProgressBar::setMinimum(double min)
{
    setRange(min, m_maximum);
}

void ColorProgressBar::setMaximum(double max)
{
    setRange(m_minimum, max);
}

void ColorProgressBar::setValue(double value)
{
    if (std::isnan(value) || qFuzzyCompare(value, m_value))
        return;
    m_value = qBound(m_minimum, value, m_maximum);
    update();
}

void ColorProgressBar::setValue(int value)
{
    setValue(double(value));
}

void ColorProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const int w = width();
    const int h = height();
    const double share = fraction();
    const QString label = text();
    const qreal textWidth = QFontMetricsF(painter.font()).size(Qt::TextSingleLine, label).width();
    const Layout layout =
        layoutFor(m_textPosition, w, h, share, textBoxWidth(textWidth), m_value > 0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_backgroundColor);
    painter.drawRoundedRect(layout.bar, m_radius, m_radius);

    const QRectF filled = layout.bar.adjusted(0, 0, -(1 - share) * layout.bar.width(), 0);
    if (m_barStyle == BarGradient) {
        QLinearGradient gradient(filled.x(), filled.y(), filled.width(), filled.height());
        for (const QGradientStop &stop : qAsConst(m_gradientStops))
            gradient.setColorAt(stop.first, stop.second);
        painter.setPen(Qt::transparent);
        painter.setBrush(gradient);
    } else {
        painter.setBrush(m_barColor);
    }
    painter.drawRoundedRect(filled, m_radius, m_radius);
    if (m_barStyle == BarStriped)
        drawStripes(painter, filled);

    if (layout.tip) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_tipColor);
        if (m_textPosition == TextInBubble) {
            painter.drawRoundedRect(layout.text, BubbleRadius, BubbleRadius);
            const int diameter = qMin(qMin(w, h), KnobMaxDiameter);
            painter.drawEllipse(QPointF(w * share - diameter, (5 * h) / 6), diameter / 2.0,
                                diameter / 2.0);
        } else {
            painter.drawRoundedRect(layout.text, m_radius, m_radius);
        }
    }

    if (layout.text.isEmpty())
        return;
    painter.setPen(m_textColor);
    painter.drawText(layout.text, Qt::AlignCenter, label);
}

void ColorProgressBar::drawStripes(QPainter &painter, const QRectF &filled) const
{
    const qint64 step = qint64(m_stripeWidth) + m_stripeGap;
    if (step < 1)
        return;
    const qreal right = filled.right();
    const qreal top = filled.top();
    const qreal bottom = filled.bottom();

    painter.save();
    if (m_stripeWidth < ThinStripeLimit) {
        painter.setPen(
            QPen(m_stripeColor, m_stripeWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        for (qint64 x = 0; x < right; x += step)
            painter.drawLine(QPointF(x, top), QPointF(x + m_stripeSlant, bottom));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_stripeColor);
        const qint64 r = static_cast<qint64>(right);
        const auto bound = [r](qint64 x) { return qreal(qBound<qint64>(0, x, r)); };
        for (qint64 x = 0; x < right; x += step) {
            const QPointF corners[4] = {
                QPointF(x, top),
                QPointF(bound(x + m_stripeWidth), top),
                QPointF(bound(x + m_stripeWidth + m_stripeSlant), bottom),
                QPointF(bound(x + m_stripeSlant), bottom),
            };
            painter.drawPolygon(corners, 4, Qt::OddEvenFill);
        }
    }
    painter.restore();
}
