#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a session ending, Ctrl+C in a terminal) into a signal on the
// GUI thread, so that the program ends through its event loop and releases what it holds
// (the single-instance block and socket) instead of dying in the middle of things.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

    // The number of the last signal caught, 0 before any.
    int lastSignal() const { return m_lastSignal; }

signals:
    void terminationRequested(int signalNumber);

private:
    Q_DISABLE_COPY(TerminationWatcher)

    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
    int m_lastSignal = 0;
};
