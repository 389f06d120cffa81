#include "walltour.h"

#include <QDebug>

#include "common/config/setupconfig.h"

namespace
{

const QString SecondsKey = QStringLiteral("Tour/Seconds");

} // namespace

WallTour::WallTour(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WallTour::countdownEnded);
}

int WallTour::secondsFrom(const QVariant &value)
{
    bool ok = false;
    const int seconds = value.toString().trimmed().toInt(&ok);
    return ok && seconds >= MinSeconds && seconds <= MaxSeconds ? seconds : 0;
}

int WallTour::storedSeconds()
{
    const QVariant value = SetupConfig::instance()->value(SecondsKey);
    if (!value.isValid())
        return DefaultSeconds;
    const int seconds = secondsFrom(value);
    if (seconds > 0)
        return seconds;
    qWarning().noquote() << QStringLiteral("WallTour: %1 = \"%2\" is not a number of seconds "
                                           "from %3 to %4; the tour steps every %5 s.")
                                .arg(SecondsKey, value.toString())
                                .arg(MinSeconds)
                                .arg(MaxSeconds)
                                .arg(DefaultSeconds);
    return DefaultSeconds;
}

int WallTour::intervalMs() const
{
    return m_intervalMs;
}

void WallTour::setIntervalMs(int intervalMs)
{
    if (m_intervalMs == intervalMs || intervalMs <= 0)
        return;
    m_intervalMs = intervalMs;
    if (m_running)
        startCountdown(m_intervalMs);
}

bool WallTour::isRunning() const
{
    return m_running;
}

bool WallTour::isPaused() const
{
    return m_paused;
}

void WallTour::start()
{
    if (m_running)
        return;
    m_running = true;
    m_paused = false;
    startCountdown(m_intervalMs);
    emit runningChanged(true);
}

void WallTour::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_paused = false;
    stopCountdown();
    emit runningChanged(false);
}

void WallTour::noteInput()
{
    if (!m_running)
        return;
    m_paused = true;
    startCountdown(m_intervalMs);
}

void WallTour::countdownEnded()
{
    if (!m_running)
        return;
    m_paused = false;
    startCountdown(m_intervalMs);
    emit step();
}

void WallTour::startCountdown(int ms)
{
    m_timer.start(ms);
}

void WallTour::stopCountdown()
{
    m_timer.stop();
}
