#include "gaugemotion.h"

#include <QTimer>
#include <QWidget>
#include <QtDebug>

#include <cmath>

GaugeMotion::GaugeMotion(QWidget *gauge, const char *gaugeName, double animationStep,
                         Landing landing)
    : m_gauge(gauge), m_gaugeName(gaugeName), m_landing(landing), m_timer(new QTimer(gauge)),
      m_animationStep(animationStep)
{
    m_timer->setInterval(TickInterval);
}

GaugeMotion::~GaugeMotion()
{
    if (m_timer->isActive())
        m_timer->stop();
}

bool GaugeMotion::isValidRange(double minValue, double maxValue)
{
    return minValue < maxValue && std::isfinite(minValue) && std::isfinite(maxValue);
}

bool GaugeMotion::isOnScale(double value) const
{
    return value >= m_minValue && value <= m_maxValue;
}

bool GaugeMotion::setRange(double minValue, double maxValue)
{
    if (!isValidRange(minValue, maxValue))
        return false;
    m_minValue = minValue;
    m_maxValue = maxValue;
    return true;
}

bool GaugeMotion::setTarget(double value)
{
    if (!isOnScale(value) || value == m_value)
        return false;
    m_reverse = value < m_value;
    m_value = value;
    return true;
}

void GaugeMotion::follow()
{
    if (!m_animation) {
        m_currentValue = m_value;
        m_gauge->update();
    } else {
        m_timer->start();
    }
}

bool GaugeMotion::setAnimation(bool animation)
{
    if (animation == m_animation)
        return false;
    m_animation = animation;
    return true;
}

bool GaugeMotion::setAnimationStep(double animationStep)
{
    if (!std::isfinite(animationStep) || animationStep <= 0) {
        qWarning().nospace() << m_gaugeName << ": ignoring animation step " << animationStep;
        return false;
    }
    if (animationStep == m_animationStep)
        return false;
    m_animationStep = animationStep;
    return true;
}

void GaugeMotion::tick()
{
    if (!stepToward(m_currentValue, m_value, m_animationStep, m_reverse, m_landing))
        m_timer->stop();
    m_gauge->update();
}

bool GaugeMotion::stepToward(double &shown, double target, double step, bool reverse,
                             Landing landing)
{
    if (reverse ? shown <= target : shown >= target) {
        if (landing == Landing::Exact)
            shown = target;
        return false;
    }
    shown += reverse ? -step : step;
    return true;
}
