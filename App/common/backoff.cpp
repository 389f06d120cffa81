#include "backoff.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

Backoff::Backoff(int firstMs, int capMs, double jitter)
    : m_firstMs(std::max(1, firstMs)), m_capMs(std::max(m_firstMs, capMs)),
      m_jitter(std::clamp(jitter, 0.0, 1.0))
{
}

int Backoff::nextDelayMs()
{
    return nextDelayMs(QRandomGenerator::global()->generateDouble());
}

int Backoff::nextDelayMs(double unitRandom)
{
    // Doubling stops at the cap, so the count never overflows however long a server stays away.
    double base = m_firstMs;
    for (int i = 0; i < m_attempts && base < m_capMs; ++i)
        base *= 2;
    base = std::min(base, double(m_capMs));
    ++m_attempts;
    const double shift = (std::clamp(unitRandom, 0.0, 1.0) * 2.0 - 1.0) * m_jitter * base;
    return std::max(1, int(std::lround(base + shift)));
}

void Backoff::reset()
{
    m_attempts = 0;
}
