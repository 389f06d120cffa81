#pragma once

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

#include "ui/chart/gaugelayercache.h"
#include "ui/chart/gaugemotion.h"

// The second painted round gauge: no background discs and no band; the value runs as a thick
// two-colour arc along the rim, which can instead be split at a separately set user value.
// Carries a settable title under the hub. The animation lands exactly on its target.
class InstantChart : public QWidget
{
    Q_OBJECT

    Q_PROPERTY(double minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(int scaleMajor READ scaleMajor WRITE setScaleMajor)
    Q_PROPERTY(int scaleMinor READ scaleMinor WRITE setScaleMinor)
    Q_PROPERTY(int startAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(int endAngle READ endAngle WRITE setEndAngle)
    Q_PROPERTY(bool animation READ animation WRITE setAnimation)
    Q_PROPERTY(double animationStep READ animationStep WRITE setAnimationStep)
    Q_PROPERTY(bool showUserValue READ showUserValue WRITE setShowUserValue)
    Q_PROPERTY(double userValue READ userValue WRITE setUserValue)
    Q_PROPERTY(QColor userValueColor READ userValueColor WRITE setUserValueColor)
    Q_PROPERTY(QColor usedColor READ usedColor WRITE setUsedColor)
    Q_PROPERTY(QColor freeColor READ freeColor WRITE setFreeColor)
    Q_PROPERTY(QColor scaleColor READ scaleColor WRITE setScaleColor)
    Q_PROPERTY(QColor pointerColor READ pointerColor WRITE setPointerColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor titleColor READ titleColor WRITE setTitleColor)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool showOverlay READ showOverlay WRITE setShowOverlay)
    Q_PROPERTY(QColor overlayColor READ overlayColor WRITE setOverlayColor)
    Q_PROPERTY(PointerStyle pointerStyle READ pointerStyle WRITE setPointerStyle)

public:
    // Fixed to int so that any number handed in stays a valid value: unknown styles draw no
    // pointer.
    enum PointerStyle : int {
        PointerStyle_Circle = 0,
        PointerStyle_Indicator = 1,
        PointerStyle_IndicatorR = 2,
        PointerStyle_Triangle = 3
    };
    Q_ENUM(PointerStyle)

    // One stroke of the rim arc, in the painter's sixteenths of a degree.
    struct RimArc {
        int startAngle;
        int spanAngle;
        QColor color;
    };

    static constexpr int AnimationInterval = GaugeMotion::TickInterval;

    explicit InstantChart(QWidget *parent = nullptr);
    ~InstantChart() override;

    double minValue() const { return m_motion.minValue(); }
    double maxValue() const { return m_motion.maxValue(); }
    double value() const { return m_motion.value(); }
    int scaleMajor() const { return m_scaleMajor; }
    int scaleMinor() const { return m_scaleMinor; }
    int startAngle() const { return m_startAngle; }
    int endAngle() const { return m_endAngle; }
    bool animation() const { return m_motion.animation(); }
    double animationStep() const { return m_motion.animationStep(); }
    bool showUserValue() const { return m_showUserValue; }
    double userValue() const { return m_userValue; }
    QColor userValueColor() const { return m_userValueColor; }
    QColor usedColor() const { return m_usedColor; }
    QColor freeColor() const { return m_freeColor; }
    QColor scaleColor() const { return m_scaleColor; }
    QColor pointerColor() const { return m_pointerColor; }
    QColor textColor() const { return m_textColor; }
    QColor titleColor() const { return m_titleColor; }
    QString title() const { return m_title; }
    bool showOverlay() const { return m_showOverlay; }
    QColor overlayColor() const { return m_overlayColor; }
    PointerStyle pointerStyle() const { return m_pointerStyle; }

    // The value the gauge shows; it trails value() while an animation runs.
    double currentValue() const { return m_motion.currentValue(); }
    // The value as the gauge writes it under the hub (no decimals).
    QString valueText() const;
    // The two strokes of the rim arc in drawing order.
    QVector<RimArc> rimArcs() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

private slots:
    void updateValue();

public slots:
    void setRange(double minValue, double maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);

    // A scale needs at least one interval of each kind; 0 or less keeps the last valid count.
    void setScaleMajor(int scaleMajor);
    void setScaleMinor(int scaleMinor);
    void setStartAngle(int startAngle);
    void setEndAngle(int endAngle);
    void setAnimation(bool animation);
    // An animation must move toward its target: a step of 0 or less (or NaN) is refused.
    void setAnimationStep(double animationStep);

    void setShowUserValue(bool showUserValue);
    void setUserValue(double userValue);
    void setUserValue(int userValue);

    void setUserValueColor(const QColor &userValueColor);
    void setUsedColor(const QColor &usedColor);
    void setFreeColor(const QColor &freeColor);
    void setScaleColor(const QColor &scaleColor);
    void setPointerColor(const QColor &pointerColor);
    void setTextColor(const QColor &textColor);
    void setTitleColor(const QColor &titleColor);

    void setTitle(const QString &title);
    void setShowOverlay(bool showOverlay);
    void setOverlayColor(const QColor &overlayColor);
    void setPointerStyle(InstantChart::PointerStyle pointerStyle);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(InstantChart)

    // The rim with the ticks and labels over it.
    void drawRim(QPainter &painter, const QRectF &bounds, const QByteArray &scaleKey,
                 const GaugeLayerCache::Draw &drawScale);

    int m_scaleMajor;
    int m_scaleMinor;
    int m_startAngle;
    int m_endAngle;

    bool m_showUserValue;
    double m_userValue;
    QColor m_userValueColor;
    QColor m_usedColor;
    QColor m_freeColor;
    QColor m_scaleColor;
    QColor m_pointerColor;
    QColor m_textColor;
    QColor m_titleColor;
    QString m_title;

    bool m_showOverlay;
    QColor m_overlayColor;
    PointerStyle m_pointerStyle;

    GaugeMotion m_motion;
    GaugeLayerCache m_layers;
};
