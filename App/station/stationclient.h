#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

#include "common/backoff.h"
#include "common/ratelimitedlog.h"
#include "station/stationsettings.h"

struct mosquitto;
struct mosquitto_message;

// The console's connection to the station's broker (libmosquitto). The network runs on a thread
// of its own: resolving the host, connecting, the TLS handshake and reading all wait there,
// never on the GUI thread. It subscribes to everything under the station's prefix after every
// connection (retained messages give the state at once), and after a failure or a lost
// connection tries again after a back-off of 1 ... 30 s. Messages reach the GUI thread in
// batches through one queued call at a time; if the GUI thread falls so far behind that the
// messages waiting would pass a bound, the oldest are dropped and the drop is logged.
class StationClient : public QObject
{
    Q_OBJECT

public:
    enum State { Offline, Connecting, Connected };
    Q_ENUM(State)

    static constexpr int KeepAliveSeconds = 30;
    // A connection that has not been accepted by then is given up and tried again.
    static constexpr int ConnectTimeoutMs = 10000;
    // How often the network thread wakes up with nothing to do, for the keep-alive.
    static constexpr int HousekeepingMs = 1000;
    static constexpr int MaxPendingMessages = 50000;
    static constexpr qint64 MaxPendingBytes = 32 * 1024 * 1024;
    // Messages handed on per turn of the GUI thread's event loop, so that painting and input
    // go on during a flood.
    static constexpr int BatchSize = 1000;

    // Settings that cannot be used leave the client offline, with their error as the detail.
    explicit StationClient(const StationSettings &settings, QObject *parent = nullptr);
    ~StationClient() override;

    // Starts the network thread; does nothing when it runs or the settings cannot be used.
    void start();

    const StationSettings &settings() const { return m_settings; }
    State state() const { return m_state; }
    // What the operator reads beside the state: the broker, the last failure, the next attempt.
    QString detail() const { return m_detail; }
    qint64 receivedCount() const { return m_received; }
    qint64 droppedCount() const;
    int pendingCount() const;

signals:
    void stateChanged(StationClient::State state, const QString &detail);
    void messageReceived(const QString &topic, const QByteArray &payload);

private:
    Q_DISABLE_COPY(StationClient)

    struct Pending {
        QString topic;
        QByteArray payload;
    };

    // On the network thread.
    void run();
    int serve(mosquitto *mosq);
    bool sleepUnlessStopped(int ms);
    void wake();
    void drainWake();
    // A failure names its reason apart from the detail, so that each reason is rate-limited on
    // its own.
    void report(State state, const QString &detail, const QString &failure = QString());
    void enqueue(const mosquitto_message *message);
    QString describe(int rc) const;
    static void onConnect(mosquitto *mosq, void *self, int rc);
    static void onDisconnect(mosquitto *mosq, void *self, int rc);
    static void onSubscribe(mosquitto *mosq, void *self, int mid, int count, const int *granted);
    static void onMessage(mosquitto *mosq, void *self, const mosquitto_message *message);
    static void onLog(mosquitto *mosq, void *self, int level, const char *text);

    // On the GUI thread.
    void deliver();
    void setState(State state, const QString &detail, const QString &failure);

    const StationSettings m_settings;
    const QString m_subscription;
    State m_state = Offline;
    QString m_detail;
    qint64 m_received = 0;
    qint64 m_droppedReported = 0;
    // One per reason of failure; the reasons are few.
    QHash<QString, RateLimitedLog> m_failureLogs;
    RateLimitedLog m_dropLog;

    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    int m_wakeFd = -1;

    // Network thread only.
    Backoff m_backoff;
    bool m_connected = false;
    int m_refusal = 0;
    int m_errno = 0;
    QString m_libraryError;
    QString m_subscribeError;
    // When the feed last went down, for the operator; empty while connected.
    QString m_offlineSince;

    // Shared, under the mutex.
    mutable std::mutex m_mutex;
    std::deque<Pending> m_pending;
    qint64 m_pendingBytes = 0;
    qint64 m_dropped = 0;
    bool m_deliveryPosted = false;
};
