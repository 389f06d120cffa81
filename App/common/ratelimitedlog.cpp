#include "ratelimitedlog.h"

#include <QDebug>

RateLimitedLog::RateLimitedLog(qint64 intervalMs) : m_intervalMs(intervalMs)
{
    m_clock.start();
}

int RateLimitedLog::occur(qint64 nowMs)
{
    if (m_written && nowMs - m_lastMs < m_intervalMs) {
        ++m_pending;
        return 0;
    }
    const int count = m_pending + 1;
    m_written = true;
    m_lastMs = nowMs;
    m_pending = 0;
    return count;
}

QString RateLimitedLog::withCount(const QString &text, int count)
{
    if (count <= 1)
        return text;
    return QStringLiteral("%1 (%2 times since the last report)").arg(text).arg(count);
}

void RateLimitedLog::warning(const QString &text)
{
    const int count = occur(m_clock.elapsed());
    if (count > 0)
        qWarning().noquote() << withCount(text, count);
}
