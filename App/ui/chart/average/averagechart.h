#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

#include "ui/chart/gaugelayercache.h"
#include "ui/chart/gaugemotion.h"

// A painted round gauge: a 270-degree dial with ticks, numbered scale, a coloured band, a
// pointer, the value as text, the caption "平均值" and a glossy highlight. setValue can walk
// the displayed value to the target in small steps on a 10 ms timer.
class AverageChart : public QWidget
{
    Q_OBJECT

    Q_PROPERTY(double minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(int precision READ precision WRITE setPrecision)
    Q_PROPERTY(int scaleMajor READ scaleMajor WRITE setScaleMajor)
    Q_PROPERTY(int scaleMinor READ scaleMinor WRITE setScaleMinor)
    Q_PROPERTY(int startAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(int endAngle READ endAngle WRITE setEndAngle)
    Q_PROPERTY(bool animation READ animation WRITE setAnimation)
    Q_PROPERTY(double animationStep READ animationStep WRITE setAnimationStep)
    Q_PROPERTY(QColor outerCircleColor READ outerCircleColor WRITE setOuterCircleColor)
    Q_PROPERTY(QColor innerCircleColor READ innerCircleColor WRITE setInnerCircleColor)
    Q_PROPERTY(QColor pieColorStart READ pieColorStart WRITE setPieColorStart)
    Q_PROPERTY(QColor pieColorMid READ pieColorMid WRITE setPieColorMid)
    Q_PROPERTY(QColor pieColorEnd READ pieColorEnd WRITE setPieColorEnd)
    Q_PROPERTY(QColor coverCircleColor READ coverCircleColor WRITE setCoverCircleColor)
    Q_PROPERTY(QColor scaleColor READ scaleColor WRITE setScaleColor)
    Q_PROPERTY(QColor pointerColor READ pointerColor WRITE setPointerColor)
    Q_PROPERTY(QColor centerCircleColor READ centerCircleColor WRITE setCenterCircleColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(bool showOverlay READ showOverlay WRITE setShowOverlay)
    Q_PROPERTY(QColor overlayColor READ overlayColor WRITE setOverlayColor)
    Q_PROPERTY(PieStyle pieStyle READ pieStyle WRITE setPieStyle)
    Q_PROPERTY(PointerStyle pointerStyle READ pointerStyle WRITE setPointerStyle)

public:
    // Fixed to int so that any number handed in stays a valid value: unknown styles draw
    // no band or no pointer.
    enum PieStyle : int {
        PieStyle_Three = 0,  // fixed three-colour band
        PieStyle_Current = 1 // band split at the displayed value
    };
    Q_ENUM(PieStyle)

    enum PointerStyle : int {
        PointerStyle_Circle = 0,
        PointerStyle_Indicator = 1,
        PointerStyle_IndicatorR = 2,
        PointerStyle_Triangle = 3
    };
    Q_ENUM(PointerStyle)

    // One sector of the colour band, in the painter's sixteenths of a degree.
    struct PieSector {
        int startAngle;
        int spanAngle;
        QColor color;
    };

    static constexpr int MaxPrecision = 3;
    static constexpr int AnimationInterval = GaugeMotion::TickInterval;

    explicit AverageChart(QWidget *parent = nullptr);
    ~AverageChart() override;

    double minValue() const { return m_motion.minValue(); }
    double maxValue() const { return m_motion.maxValue(); }
    double value() const { return m_motion.value(); }
    int precision() const { return m_precision; }
    int scaleMajor() const { return m_scaleMajor; }
    int scaleMinor() const { return m_scaleMinor; }
    int startAngle() const { return m_startAngle; }
    int endAngle() const { return m_endAngle; }
    bool animation() const { return m_motion.animation(); }
    double animationStep() const { return m_motion.animationStep(); }
    QColor outerCircleColor() const { return m_outerCircleColor; }
    QColor innerCircleColor() const { return m_innerCircleColor; }
    QColor pieColorStart() const { return m_pieColorStart; }
    QColor pieColorMid() const { return m_pieColorMid; }
    QColor pieColorEnd() const { return m_pieColorEnd; }
    QColor coverCircleColor() const { return m_coverCircleColor; }
    QColor scaleColor() const { return m_scaleColor; }
    QColor pointerColor() const { return m_pointerColor; }
    QColor centerCircleColor() const { return m_centerCircleColor; }
    QColor textColor() const { return m_textColor; }
    bool showOverlay() const { return m_showOverlay; }
    QColor overlayColor() const { return m_overlayColor; }
    PieStyle pieStyle() const { return m_pieStyle; }
    PointerStyle pointerStyle() const { return m_pointerStyle; }
    // The caption painted under the value.
    QString captionText() const { return m_captionText; }

    // The value the gauge shows; it trails value() while an animation runs.
    double currentValue() const { return m_motion.currentValue(); }
    // The value as the gauge writes it under the hub.
    QString valueText() const;
    // The sectors of the colour band in drawing order; empty for an unknown band style.
    QVector<PieSector> pieSectors() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(int value);

private slots:
    void updateValue();

public slots:
    void setRange(double minValue, double maxValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);
    void setPrecision(int precision);

    // A scale needs at least one interval of each kind; 0 or less keeps the last valid count.
    void setScaleMajor(int scaleMajor);
    void setScaleMinor(int scaleMinor);
    void setStartAngle(int startAngle);
    void setEndAngle(int endAngle);
    void setAnimation(bool animation);
    // An animation must move toward its target: a step of 0 or less (or NaN) is refused.
    void setAnimationStep(double animationStep);

    void setOuterCircleColor(const QColor &outerCircleColor);
    void setInnerCircleColor(const QColor &innerCircleColor);
    void setPieColorStart(const QColor &pieColorStart);
    void setPieColorMid(const QColor &pieColorMid);
    void setPieColorEnd(const QColor &pieColorEnd);
    void setCoverCircleColor(const QColor &coverCircleColor);
    void setScaleColor(const QColor &scaleColor);
    void setPointerColor(const QColor &pointerColor);
    void setCenterCircleColor(const QColor &centerCircleColor);
    void setTextColor(const QColor &textColor);

    void setShowOverlay(bool showOverlay);
    void setOverlayColor(const QColor &overlayColor);

    void setPieStyle(AverageChart::PieStyle pieStyle);
    void setPointerStyle(AverageChart::PointerStyle pointerStyle);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(AverageChart)

    void drawColorPie(QPainter &painter) const;
    static void drawSector(QPainter &painter, const QColor &color, int start, int span);

    int m_precision;
    int m_scaleMajor;
    int m_scaleMinor;
    int m_startAngle;
    int m_endAngle;

    QColor m_outerCircleColor;
    QColor m_innerCircleColor;
    QColor m_pieColorStart;
    QColor m_pieColorMid;
    QColor m_pieColorEnd;
    QColor m_coverCircleColor;
    QColor m_scaleColor;
    QColor m_pointerColor;
    QColor m_centerCircleColor;
    QColor m_textColor;
    QColor m_captionColor;
    QString m_captionText;

    bool m_showOverlay;
    QColor m_overlayColor;
    PieStyle m_pieStyle;
    PointerStyle m_pointerStyle;

    GaugeMotion m_motion;
    GaugeLayerCache m_layers;
};
