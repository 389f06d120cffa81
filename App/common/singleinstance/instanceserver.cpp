#include "instanceserver.h"

#include <QDebug>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <sys/resource.h>

#include "common/singleinstance/instancelistener.h"
#include "common/singleinstance/instanceprotocol.h"

InstanceServer::InstanceServer(const QString &blockName, bool announceSecondaries, QObject *parent)
    : QObject(parent), m_blockName(blockName), m_announceSecondaries(announceSecondaries),
      m_listener(std::make_unique<InstanceListener>()), m_maxPeers(peerLimit())
{
    connect(m_listener.get(), &InstanceListener::newConnection, this,
            &InstanceServer::slotConnectionEstablished);
    connect(m_listener.get(), &InstanceListener::socketFileLost, this,
            &InstanceServer::socketFileLost);
}

InstanceServer::~InstanceServer()
{
    // The connections die with the listener; they must not report anything on the way.
    for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it)
        it.key()->disconnect(this);
    m_peers.clear();
    // Connections closed earlier and not yet deleted go with the listener too; what they
    // report on the way must not reach it.
    const std::unique_ptr<InstanceListener> listener = std::move(m_listener);
    listener->close();
}

bool InstanceServer::listen(const QString &path, bool worldAccess)
{
    return m_listener->listen(path, worldAccess);
}

QString InstanceServer::errorString() const
{
    return m_listener->errorString();
}

int InstanceServer::peerLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return MaxPeersBound;
    return int(qBound<rlim_t>(1, limit.rlim_cur / PeerShareOfDescriptors, MaxPeersBound));
}

void InstanceServer::slotConnectionEstablished()
{
    QLocalSocket *socket = m_listener->nextPendingConnection();
    if (!socket)
        return;

    // The oldest unfinished greetings make way, whoever holds them open.
    while (m_ungreeted.size() >= MaxUngreetedPeers ||
           (m_peers.size() >= m_maxPeers && !m_ungreeted.isEmpty())) {
        if (!m_crowded) {
            m_crowded = true;
            qWarning("UniqueApplication: Too many connections without a greeting; closing the "
                     "oldest.");
        }
        dropPeer(m_ungreeted.first());
    }
    // Every connection holds a descriptor, and the rest of the program needs some too.
    if (m_peers.size() >= m_maxPeers) {
        if (!m_crowded) {
            m_crowded = true;
            qWarning("UniqueApplication: Refusing connections from later instances: %d are "
                     "open already.",
                     m_maxPeers);
        }
        socket->close();
        socket->deleteLater();
        return;
    }

    PeerInfo peer;
    peer.stallTimer = new QTimer(socket);
    peer.stallTimer->setSingleShot(true);
    peer.stallTimer->setInterval(PeerStallTimeout);
    connect(peer.stallTimer, &QTimer::timeout, this, [this, socket] { slotPeerStalled(socket); });
    peer.stallTimer->start();
    m_peers.insert(socket, peer);
    m_ungreeted.append(socket);

    connect(socket, &QLocalSocket::aboutToClose, this, [this, socket] {
        const auto it = m_peers.constFind(socket);
        if (it != m_peers.cend())
            slotClientConnectionClosed(socket, it->instanceId);
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this, socket] {
        m_peers.remove(socket);
        forgetUngreeted(socket);
        if (m_listener)
            m_listener->resumeAccepting();
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { processPeer(socket); });

    // Bytes may have arrived together with the connection.
    if (socket->bytesAvailable() > 0)
        processPeer(socket);
}

void InstanceServer::processPeer(QLocalSocket *socket)
{
    // A client that does not wait for each acknowledgement leaves several frames in the buffer
    // at once, and readyRead does not come again for them: take frame after frame.
    QPointer<QLocalSocket> guard(socket);
    for (;;) {
        const auto it = m_peers.constFind(socket);
        if (it == m_peers.cend())
            return;
        const quint8 stageBefore = it->stage;
        const qint64 bytesBefore = socket->bytesAvailable();
        switch (stageBefore) {
        case PeerInfo::AwaitInitHeader:
            readFrameHeader(socket, PeerInfo::AwaitInitBody);
            break;
        case PeerInfo::AwaitInitBody:
            readInitBody(socket);
            break;
        case PeerInfo::AwaitMessageHeader:
            readFrameHeader(socket, PeerInfo::AwaitMessageBody);
            break;
        case PeerInfo::AwaitMessageBody:
            slotDataAvailable(socket, it->instanceId);
            break;
        }
        if (!guard)
            return;
        const auto after = m_peers.constFind(socket);
        if (after == m_peers.cend())
            return;
        if (after->stage == stageBefore && socket->bytesAvailable() == bytesBefore) {
            // Between messages an instance may stay connected as long as it likes.
            const bool idle =
                after->stage == PeerInfo::AwaitMessageHeader && socket->bytesAvailable() == 0;
            if (idle)
                after->stallTimer->stop();
            else
                after->stallTimer->start();
            return;
        }
    }
}

void InstanceServer::readFrameHeader(QLocalSocket *socket, PeerInfo::Stage nextStage)
{
    const auto it = m_peers.find(socket);
    if (it == m_peers.end() || socket->bytesAvailable() < InstanceProtocol::FrameHeaderSize)
        return;

    quint64 length = 0;
    const quint64 limit = nextStage == PeerInfo::AwaitInitBody ? InstanceProtocol::MaxInitBodyLength
                                                               : InstanceProtocol::MaxMessageLength;
    if (!InstanceProtocol::readFrameHeader(socket, &length) || length > limit) {
        rejectPeer(socket, "frame too long");
        return;
    }
    it->length = length;
    it->stage = nextStage;
    sendAck(socket);
}

bool InstanceServer::frameAvailable(QLocalSocket *socket) const
{
    const auto it = m_peers.constFind(socket);
    if (it == m_peers.cend())
        return false;
    return socket->bytesAvailable() >= qint64(it->length);
}

void InstanceServer::readInitBody(QLocalSocket *socket)
{
    if (!frameAvailable(socket))
        return;
    const auto it = m_peers.find(socket);
    if (it->stage != PeerInfo::AwaitInitBody)
        return;

    // Exactly this frame: whatever follows it belongs to the next one.
    const QByteArray body = socket->read(qint64(it->length));
    quint8 kind = 0;
    quint32 instanceId = 0;
    if (!InstanceProtocol::decodeInitBody(body, m_blockName, &kind, &instanceId)) {
        rejectPeer(socket, "not an instance of this application");
        return;
    }

    it->instanceId = instanceId;
    it->stage = PeerInfo::AwaitMessageHeader;
    forgetUngreeted(socket);
    QPointer<QLocalSocket> guard(socket);
    if (kind == InstanceProtocol::InitNewInstance ||
        (kind == InstanceProtocol::InitSecondaryInstance && m_announceSecondaries))
        emit instanceStarted();
    if (guard)
        sendAck(socket);
}

void InstanceServer::slotDataAvailable(QLocalSocket *socket, quint32 instanceId)
{
    if (!frameAvailable(socket))
        return;
    const auto it = m_peers.find(socket);
    if (it->stage != PeerInfo::AwaitMessageBody)
        return;

    const QByteArray message = socket->read(qint64(it->length));
    sendAck(socket);
    it->stage = PeerInfo::AwaitMessageHeader;
    emit receivedMessage(instanceId, message);
}

void InstanceServer::slotClientConnectionClosed(QLocalSocket *socket, quint32 instanceId)
{
    Q_UNUSED(instanceId)
    // Whole frames still in the buffer are handled by their stage, not taken as a message:
    // an unfinished init must not reach receivedMessage.
    if (socket->bytesAvailable() > 0)
        processPeer(socket);
}

void InstanceServer::sendAck(QLocalSocket *socket)
{
    socket->putChar(InstanceProtocol::Ack);
}

void InstanceServer::rejectPeer(QLocalSocket *socket, const char *reason)
{
    qDebug("UniqueApplication: Closing a connection: %s.", reason);
    dropPeer(socket);
}

void InstanceServer::dropPeer(QLocalSocket *socket)
{
    // Out of the table first, so that closing does not hand its bytes to anyone.
    m_peers.remove(socket);
    forgetUngreeted(socket);
    socket->close();
    socket->deleteLater();
}

void InstanceServer::forgetUngreeted(QLocalSocket *socket)
{
    m_ungreeted.removeOne(socket);
    if (m_ungreeted.isEmpty() && m_peers.size() < m_maxPeers)
        m_crowded = false;
}

void InstanceServer::slotPeerStalled(QLocalSocket *socket)
{
    const auto it = m_peers.constFind(socket);
    if (it == m_peers.cend())
        return;
    if (it->stage == PeerInfo::AwaitMessageHeader && socket->bytesAvailable() == 0)
        return;
    rejectPeer(socket, "no progress");
}
