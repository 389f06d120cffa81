#pragma once

// The waits between attempts of anything that reconnects: 1, 2, 4 ... seconds up to a cap, each
// moved by a random share so that many clients do not retry in step; back to the first wait
// after a success.
class Backoff
{
public:
    static constexpr int DefaultFirstMs = 1000;
    static constexpr int DefaultCapMs = 30000;
    // Each wait is moved by up to this share of itself, up or down.
    static constexpr double DefaultJitter = 0.2;

    explicit Backoff(int firstMs = DefaultFirstMs, int capMs = DefaultCapMs,
                     double jitter = DefaultJitter);

    // The wait before the next attempt, counting it as made.
    int nextDelayMs();
    // The same with the random share given (0 = earliest, 1 = latest): the rule without chance.
    int nextDelayMs(double unitRandom);

    // After a success: the next wait is the first one again.
    void reset();
    // Failed attempts since the last success.
    int attempts() const { return m_attempts; }

private:
    int m_firstMs;
    int m_capMs;
    double m_jitter;
    int m_attempts = 0;
};
