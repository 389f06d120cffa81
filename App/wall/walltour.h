#pragma once

#include <QObject>
#include <QTimer>
#include <QVariant>

// Steps the camera wall through the groups of its layout: one step every interval while it
// runs. Input on the wall pauses it; after an interval without input it steps again and goes
// on. It stores nothing; whoever shows the step decides what a step is.
class WallTour : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSeconds = 10;
    static constexpr int MinSeconds = 1;
    static constexpr int MaxSeconds = 3600;

    explicit WallTour(QObject *parent = nullptr);

    // The interval of "[Tour] Seconds"; a value that is no whole number of seconds in range is
    // reported on the log and the default is used.
    static int storedSeconds();
    // The seconds a stored value gives, or 0 when it gives none.
    static int secondsFrom(const QVariant &value);

    int intervalMs() const;
    void setIntervalMs(int intervalMs);

    bool isRunning() const;
    bool isPaused() const;

public slots:
    void start();
    void stop();
    // The operator used the wall: no step until an interval has passed without input.
    void noteInput();

signals:
    void step();
    void runningChanged(bool running);

protected:
    // The clock: one countdown at a time, restarted by each call; countdownEnded() when it ends.
    virtual void startCountdown(int ms);
    virtual void stopCountdown();
    void countdownEnded();

private:
    Q_DISABLE_COPY(WallTour)

    QTimer m_timer;
    int m_intervalMs = DefaultSeconds * 1000;
    bool m_running = false;
    bool m_paused = false;
};
