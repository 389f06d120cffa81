#pragma once

class QTimer;
class QWidget;

// The value, scale and animation that the round gauges share: the target set from outside, the
// shown value that trails it on a 10 ms timer, and the range both live in. Each gauge keeps its
// own signal, slots and properties and calls in here; a move of the shown value repaints it.
class GaugeMotion
{
public:
    static constexpr int TickInterval = 10;

    // Where an animation ends: on the first step that reaches or passes the target
    // (Overshoot), or put exactly on it (Exact).
    enum class Landing { Overshoot, Exact };

    // The timer becomes a child of the gauge, and its only timer. The name is the gauge's in
    // warnings.
    GaugeMotion(QWidget *gauge, const char *gaugeName, double animationStep, Landing landing);
    ~GaugeMotion();

    double minValue() const { return m_minValue; }
    double maxValue() const { return m_maxValue; }
    double value() const { return m_value; }
    double currentValue() const { return m_currentValue; }
    bool animation() const { return m_animation; }
    double animationStep() const { return m_animationStep; }
    QTimer *timer() const { return m_timer; }

    // A scale needs finite ends with the minimum below the maximum.
    static bool isValidRange(double minValue, double maxValue);
    // Whether the value lies on the present scale; NaN never does.
    bool isOnScale(double value) const;

    // Takes a valid range, otherwise returns false. The caller then hands the target, held
    // within the new range, to its setValue.
    bool setRange(double minValue, double maxValue);
    // Takes a target that lies on the scale and differs from the present one, with the
    // direction toward it; otherwise returns false and nothing changes.
    bool setTarget(double value);
    // After an accepted target: shows it at once, or walks there on the timer while the
    // animation is on.
    void follow();
    // Each returns whether the stored setting changed; a step that is not a finite positive
    // number is refused with a warning.
    bool setAnimation(bool animation);
    bool setAnimationStep(double animationStep);
    // One timer tick: a step toward the target, or the end of the walk; repaints either way.
    void tick();

    // One step of a walk: moves shown a step toward target in the direction fixed when the
    // target was set (reverse: downward). Once shown has reached or passed the target it
    // returns false instead, and shown stays there (Overshoot) or is put on the target (Exact).
    static bool stepToward(double &shown, double target, double step, bool reverse,
                           Landing landing);

private:
    QWidget *m_gauge;
    const char *m_gaugeName;
    Landing m_landing;
    QTimer *m_timer;
    double m_minValue = 1.0;
    double m_maxValue = 2999.0;
    double m_value = 0.0;
    double m_currentValue = 0.0;
    bool m_reverse = false;
    bool m_animation = false;
    double m_animationStep;
};
