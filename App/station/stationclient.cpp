#include "stationclient.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QTime>
#include <QVector>

#include <mosquitto.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/credentials.h"
#include "station/stationmessage.h"

namespace
{

constexpr int SubscribeQos = 1;
// The SUBACK code of a refused subscription.
constexpr int SubscriptionRefused = 0x80;
// OpenSSL's text for a certificate chain that does not end at a trusted authority.
const char *const CertificateRefused = "certificate verify failed";

// libmosquitto is set up once per process and torn down at its end.
class MosquittoLibrary
{
public:
    MosquittoLibrary() { mosquitto_lib_init(); }
    ~MosquittoLibrary() { mosquitto_lib_cleanup(); }
};

void initLibrary()
{
    static MosquittoLibrary library;
    Q_UNUSED(library)
}

} // namespace

StationClient::StationClient(const StationSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings),
      m_subscription(settings.topicPrefix + QStringLiteral("/#"))
{
    qRegisterMetaType<StationClient::State>();
    m_detail = settings.error.isEmpty() ? tr("not started") : settings.error;
}

StationClient::~StationClient()
{
    if (m_thread.joinable()) {
        m_stopping = true;
        wake();
        m_thread.join();
    }
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void StationClient::start()
{
    if (m_thread.joinable() || !m_settings.configured || !m_settings.error.isEmpty())
        return;
    initLibrary();
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        setState(Offline, tr("cannot make an event descriptor: %1").arg(why), why);
        return;
    }
    setState(Connecting, tr("connecting to %1").arg(m_settings.brokerText()), QString());
    m_thread = std::thread([this] { run(); });
}

qint64 StationClient::droppedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

int StationClient::pendingCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_pending.size());
}

// ---- the network thread

void StationClient::run()
{
    const QByteArray clientId = m_settings.clientId.toUtf8();
    mosquitto *mosq = mosquitto_new(clientId.constData(), true, this);
    if (!mosq) {
        const QString why = tr("the MQTT library could not make a client");
        report(Offline, why, why);
        return;
    }
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    const QByteArray user = m_settings.user.toUtf8();
    const QByteArray password = m_settings.password.toUtf8();
    if (!user.isEmpty())
        mosquitto_username_pw_set(mosq, user.constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    const QByteArray caFile = m_settings.caFile.toLocal8Bit();
    if (m_settings.tls) {
        if (caFile.isEmpty())
            mosquitto_int_option(mosq, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        else
            mosquitto_tls_set(mosq, caFile.constData(), nullptr, nullptr, nullptr, nullptr);
        // Verify the peer (1 = SSL_VERIFY_PEER) and its name; never connect blindly.
        mosquitto_tls_opts_set(mosq, 1, nullptr, nullptr);
        mosquitto_tls_insecure_set(mosq, false);
    }
    mosquitto_connect_callback_set(mosq, &StationClient::onConnect);
    mosquitto_disconnect_callback_set(mosq, &StationClient::onDisconnect);
    mosquitto_subscribe_callback_set(mosq, &StationClient::onSubscribe);
    mosquitto_message_callback_set(mosq, &StationClient::onMessage);
    mosquitto_log_callback_set(mosq, &StationClient::onLog);

    const QByteArray host = m_settings.host.toUtf8();
    while (!m_stopping) {
        m_connected = false;
        m_refusal = 0;
        m_libraryError.clear();
        m_subscribeError.clear();
        int rc = mosquitto_connect_async(mosq, host.constData(), m_settings.port, KeepAliveSeconds);
        m_errno = errno;
        if (rc == MOSQ_ERR_SUCCESS)
            rc = serve(mosq);
        if (m_stopping)
            break;
        const QString why = describe(rc);
        const bool wasConnected = m_connected;
        const int delay = m_backoff.nextDelayMs();
        const QString what =
            tr("%1 %2: %3")
                .arg(wasConnected ? tr("lost the connection to") : tr("cannot connect to"),
                     m_settings.brokerText(), why);
        if (m_offlineSince.isEmpty())
            m_offlineSince = QTime::currentTime().toString(QStringLiteral("hh:mm:ss"));
        report(Connecting,
               tr("%1; offline since %2, next attempt in %3 s")
                   .arg(what, m_offlineSince)
                   .arg((delay + 500) / 1000),
               what);
        if (wasConnected)
            mosquitto_disconnect(mosq);
        if (!sleepUnlessStopped(delay))
            break;
    }
    if (m_connected) {
        mosquitto_disconnect(mosq);
        mosquitto_loop_write(mosq, 1);
    }
    mosquitto_destroy(mosq);
}

// Runs the connection until it fails or the client stops; the library's error code, or
// MOSQ_ERR_SUCCESS when stopped.
int StationClient::serve(mosquitto *mosq)
{
    QElapsedTimer sinceAttempt;
    sinceAttempt.start();
    while (!m_stopping) {
        int timeout = HousekeepingMs;
        if (!m_connected)
            timeout = int(qBound<qint64>(0, ConnectTimeoutMs - sinceAttempt.elapsed(), timeout));
        pollfd fds[2] = {};
        fds[0].fd = mosquitto_socket(mosq);
        fds[0].events = short(POLLIN | (mosquitto_want_write(mosq) ? POLLOUT : 0));
        fds[1].fd = m_wakeFd;
        fds[1].events = POLLIN;
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) {
            m_errno = errno;
            return MOSQ_ERR_ERRNO;
        }
        if (fds[1].revents & POLLIN)
            drainWake();
        if (m_stopping)
            break;
        int rc = MOSQ_ERR_SUCCESS;
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP))
            rc = mosquitto_loop_read(mosq, 1);
        if (rc == MOSQ_ERR_SUCCESS && (fds[0].revents & POLLOUT))
            rc = mosquitto_loop_write(mosq, 1);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_loop_misc(mosq);
        if (m_refusal)
            return MOSQ_ERR_CONN_REFUSED;
        if (!m_subscribeError.isEmpty())
            return MOSQ_ERR_ACL_DENIED;
        if (rc != MOSQ_ERR_SUCCESS) {
            m_errno = errno;
            return rc;
        }
        if (!m_connected && sinceAttempt.elapsed() >= ConnectTimeoutMs)
            return MOSQ_ERR_TIMEOUT;
    }
    return MOSQ_ERR_SUCCESS;
}

bool StationClient::sleepUnlessStopped(int ms)
{
    QElapsedTimer slept;
    slept.start();
    while (!m_stopping && slept.elapsed() < ms) {
        pollfd fd = {m_wakeFd, POLLIN, 0};
        ::poll(&fd, 1, int(ms - slept.elapsed()));
        if (fd.revents & POLLIN)
            drainWake();
    }
    return !m_stopping;
}

void StationClient::wake()
{
    const quint64 one = 1;
    if (m_wakeFd >= 0)
        (void)!::write(m_wakeFd, &one, sizeof one);
}

void StationClient::drainWake()
{
    quint64 count = 0;
    (void)!::read(m_wakeFd, &count, sizeof count);
}

QString StationClient::describe(int rc) const
{
    switch (rc) {
    case MOSQ_ERR_ERRNO:
        return QString::fromLocal8Bit(std::strerror(m_errno));
    case MOSQ_ERR_CONN_REFUSED:
        return tr("the broker refused the connection (%1)")
            .arg(QString::fromUtf8(mosquitto_connack_string(m_refusal)));
    case MOSQ_ERR_TIMEOUT:
        return tr("no answer within %1 s").arg(ConnectTimeoutMs / 1000);
    case MOSQ_ERR_EAI:
        return tr("the host name cannot be resolved");
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
        if (m_libraryError.contains(QLatin1String(CertificateRefused)))
            return tr("TLS: the broker's certificate is not trusted (not signed by %1, or not "
                      "made out to %2)")
                .arg(m_settings.caFile.isEmpty() ? tr("an authority of the system's store")
                                                 : m_settings.caFile,
                     m_settings.host);
        return tr("TLS handshake failed (%1)")
            .arg(m_libraryError.isEmpty() ? QString::fromUtf8(mosquitto_strerror(rc))
                                          : m_libraryError);
    case MOSQ_ERR_ACL_DENIED:
        return m_subscribeError;
    default:
        return QString::fromUtf8(mosquitto_strerror(rc));
    }
}

void StationClient::report(State state, const QString &detail, const QString &failure)
{
    QMetaObject::invokeMethod(
        this, [this, state, detail, failure] { setState(state, detail, failure); },
        Qt::QueuedConnection);
}

void StationClient::onConnect(mosquitto *mosq, void *self, int rc)
{
    auto *client = static_cast<StationClient *>(self);
    if (rc != 0) {
        client->m_refusal = rc;
        return;
    }
    client->m_connected = true;
    // A new session every time (clean session): the subscription is made again after every
    // connection.
    const QByteArray subscription = client->m_subscription.toUtf8();
    mosquitto_subscribe(mosq, nullptr, subscription.constData(), SubscribeQos);
}

void StationClient::onDisconnect(mosquitto *, void *, int) {}

// The feed is live once the broker has taken the subscription.
void StationClient::onSubscribe(mosquitto *, void *self, int, int count, const int *granted)
{
    auto *client = static_cast<StationClient *>(self);
    if (count < 1 || granted[0] == SubscriptionRefused) {
        client->m_subscribeError =
            tr("the broker refused the subscription to %1").arg(client->m_subscription);
        return;
    }
    client->m_offlineSince.clear();
    client->m_backoff.reset();
    client->report(Connected, tr("connected to %1, subscribed to %2")
                                  .arg(client->m_settings.brokerText(), client->m_subscription));
}

void StationClient::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    static_cast<StationClient *>(self)->enqueue(message);
}

void StationClient::onLog(mosquitto *, void *self, int level, const char *text)
{
    if (level & MOSQ_LOG_ERR)
        static_cast<StationClient *>(self)->m_libraryError = QString::fromUtf8(text);
}

void StationClient::enqueue(const mosquitto_message *message)
{
    // A payload over the limit is refused by the rules anyway; one byte more than the limit
    // says so without keeping the rest.
    Pending pending{QString::fromUtf8(message->topic),
                    QByteArray(static_cast<const char *>(message->payload),
                               qMin(message->payloadlen, StationMessage::MaxPayloadBytes + 1))};
    const qint64 bytes = pending.topic.size() * qint64(sizeof(QChar)) + pending.payload.size();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.push_back(std::move(pending));
    m_pendingBytes += bytes;
    while (m_pending.size() > size_t(MaxPendingMessages) || m_pendingBytes > MaxPendingBytes) {
        const Pending &oldest = m_pending.front();
        m_pendingBytes -= oldest.topic.size() * qint64(sizeof(QChar)) + oldest.payload.size();
        m_pending.pop_front();
        ++m_dropped;
    }
    if (!m_deliveryPosted) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(this, &StationClient::deliver, Qt::QueuedConnection);
    }
}

// ---- the GUI thread

void StationClient::deliver()
{
    QVector<Pending> batch;
    qint64 dropped = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const int count = int(qMin(m_pending.size(), size_t(BatchSize)));
        batch.reserve(count);
        for (int i = 0; i < count; ++i) {
            Pending &front = m_pending.front();
            m_pendingBytes -= front.topic.size() * qint64(sizeof(QChar)) + front.payload.size();
            batch.append(std::move(front));
            m_pending.pop_front();
        }
        if (m_pending.empty())
            m_deliveryPosted = false;
        else
            QMetaObject::invokeMethod(this, &StationClient::deliver, Qt::QueuedConnection);
        dropped = m_dropped;
    }
    if (dropped > m_droppedReported) {
        m_dropLog.warning(tr("Station feed: the console fell behind the station; %1 messages "
                             "dropped so far")
                              .arg(dropped));
        m_droppedReported = dropped;
    }
    for (const Pending &pending : qAsConst(batch)) {
        ++m_received;
        emit messageReceived(pending.topic, pending.payload);
    }
}

void StationClient::setState(State state, const QString &detail, const QString &failure)
{
    const QString shown = Credentials::masked(detail);
    if (!failure.isEmpty())
        m_failureLogs[failure].warning(QStringLiteral("Station feed: %1").arg(shown));
    else if (state == Connected)
        qInfo().noquote() << QStringLiteral("Station feed: %1").arg(shown);
    if (state == m_state && shown == m_detail)
        return;
    m_state = state;
    m_detail = shown;
    emit stateChanged(state, shown);
}
