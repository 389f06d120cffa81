#include "repaintclock.h"

#include <QCoreApplication>
#include <QWidget>

RepaintClock::RepaintClock(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(TickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RepaintClock::tick);
}

RepaintClock *RepaintClock::instance()
{
    static QPointer<RepaintClock> clock;
    if (!clock)
        clock = new RepaintClock(QCoreApplication::instance());
    return clock;
}

void RepaintClock::request(QWidget *widget, const QRect &rect)
{
    for (Pending &pending : m_pending) {
        if (pending.widget == widget) {
            pending.rect |= rect;
            return;
        }
    }
    m_pending.append({widget, rect});
    if (!m_timer.isActive())
        m_timer.start();
}

void RepaintClock::tick()
{
    const QList<Pending> pending = std::move(m_pending);
    m_pending.clear();
    for (const Pending &each : pending) {
        if (each.widget)
            each.widget->update(each.rect);
    }
}
