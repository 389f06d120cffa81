#pragma once

#include <QElapsedTimer>
#include <QString>

// A diagnostic that can repeat (a bad payload, a dead stream) reaches the log the first time,
// then at most once an interval with the number of times it happened since.
class RateLimitedLog
{
public:
    static constexpr qint64 DefaultIntervalMs = 60000;

    explicit RateLimitedLog(qint64 intervalMs = DefaultIntervalMs);

    // Counts one occurrence at nowMs (any monotonic clock). Returns how many occurrences a line
    // written now stands for (1 for the first, more once some were held back), or 0 when the line
    // is held back.
    int occur(qint64 nowMs);

    // Occurrences held back since the last line.
    int pending() const { return m_pending; }

    // On the process's monotonic clock: writes the text as a warning, with the count of the
    // occurrences held back before it, or holds it back.
    void warning(const QString &text);

    // The text with the count a line stands for: "text" or "text (N times in the last minute)".
    static QString withCount(const QString &text, int count);

private:
    qint64 m_intervalMs;
    qint64 m_lastMs = 0;
    bool m_written = false;
    int m_pending = 0;
    QElapsedTimer m_clock;
};
