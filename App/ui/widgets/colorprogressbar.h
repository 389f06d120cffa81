#pragma once

#include <QColor>
#include <QGradient>
#include <QRectF>
#include <QString>
#include <QWidget>

// A painted horizontal progress bar: a rounded background, a filled part as long as the
// value's share of the range (solid, gradient, or solid with slanted stripes) and the
// percentage as text at the right end, riding on the end of the filled part, or in a bubble
// above a thin bar.
class ColorProgressBar : public QWidget
{
    Q_OBJECT

public:
    enum TextPosition { TextFollowsBar = 0, TextInBubble = 1, TextAtRightEnd = 2 };

    enum BarStyle {
        BarSolid = 0, // any number other than the two below paints solid too
        BarGradient = 1,
        BarStriped = 2
    };

    // Where one frame puts the bar and the text, and whether the tip (the text's box, and in
    // the bubble position the knob on the bar) is drawn.
    struct Layout {
        QRectF bar;
        QRectF text;
        bool tip;
    };

    explicit ColorProgressBar(int barStyle, QWidget *parent = nullptr);

    double value() const { return m_value; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    int radius() const { return m_radius; }
    int stripeGap() const { return m_stripeGap; }
    int stripeSlant() const { return m_stripeSlant; }
    int stripeWidth() const { return m_stripeWidth; }
    // The value's share of the range, 0 to 1; 0 when the range has no width.
    double fraction() const;
    // The percentage as drawn, e.g. "45.5%".
    QString text() const;

    // The rectangles of a bar of the given size; textBoxWidth is the width of the text's box.
    static Layout layoutFor(int textPosition, int width, int height, double fraction,
                            qreal textBoxWidth, bool valuePositive);
    // The width of the text's box for a text of the given advance.
    static qreal textBoxWidth(qreal textWidth);

    void setTextColor(const QColor &textColor);
    void setTipColor(const QColor &tipColor);
    void setBarColor(const QColor &barColor);
    void setStripeColor(const QColor &stripeColor);
    void setBackgroundColor(const QColor &backgroundColor);
    void setGradientStops(const QGradientStops &gradientStops);
    void setPrecision(int precision);
    void setRadius(int radius);
    void setTextPosition(int textPosition);
    void setBarStyle(int barStyle);
    // Only for the striped style. Negative widths or gaps are refused, and so is a gap and
    // width of 0 together (no room to step on). A stripe wider than 2 squares the corners.
    void setStripe(int stripeGap, int stripeSlant, int stripeWidth);

public slots:
    void setRange(double min, double max);
    void setMinimum(double min);
    void setMaximum(double max);
    void setValue(double value);
    void setValue(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(ColorProgressBar)

    void drawStripes(QPainter &painter, const QRectF &filled) const;

    double m_minimum;
    double m_maximum;
    double m_value;
    QColor m_barColor;
    QColor m_stripeColor;
    QColor m_backgroundColor;
    QGradientStops m_gradientStops;
    QColor m_textColor;
    QColor m_tipColor;
    int m_precision;
    int m_radius;
    int m_textPosition;
    int m_barStyle;
    int m_stripeWidth;
    int m_stripeSlant;
    int m_stripeGap;
};
