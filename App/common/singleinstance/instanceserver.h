#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class InstanceListener;
class QLocalSocket;
class QTimer;

// What the primary keeps per connection.
struct PeerInfo {
    enum Stage : quint8 {
        AwaitInitHeader = 0,
        AwaitInitBody = 1,
        AwaitMessageHeader = 2,
        AwaitMessageBody = 3,
    };

    quint64 length = 0;
    quint32 instanceId = 0;
    quint8 stage = AwaitInitHeader;
    // Closes a connection that stops halfway through a frame; owned by the socket.
    QTimer *stallTimer = nullptr;
};

// The primary's side of the local socket: it takes the connections of later instances from
// its listener and reads each one frame by frame, acknowledging every frame. A greeting that
// names the block announces a start; the frames after it are messages. Connections that are
// not of this program, or that stall halfway, are closed without a word to the program.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    // A peer that leaves a frame unfinished this long is dropped.
    static constexpr int PeerStallTimeout = 5000;
    // Connections that have not finished their greeting yet; beyond this the oldest is closed,
    // so that a flood of connections cannot use up the primary's descriptors.
    static constexpr int MaxUngreetedPeers = 32;
    // At most this share of the open-file limit goes to connections of later instances.
    static constexpr int PeerShareOfDescriptors = 2;
    static constexpr int MaxPeersBound = 4096;

    // blockName: what a greeting must name; announceSecondaries: whether the greeting of a
    // secondary announces a start too.
    InstanceServer(const QString &blockName, bool announceSecondaries, QObject *parent = nullptr);
    ~InstanceServer() override;

    // Binds a fresh socket at path, replacing a file left there, and listens on it.
    bool listen(const QString &path, bool worldAccess);
    QString errorString() const;

    static int peerLimit();

signals:
    void instanceStarted();
    void receivedMessage(quint32 instanceId, QByteArray message);
    // The socket file was deleted or replaced under the listener.
    void socketFileLost();

private:
    Q_DISABLE_COPY(InstanceServer)

    void slotConnectionEstablished();
    void slotDataAvailable(QLocalSocket *socket, quint32 instanceId);
    void slotClientConnectionClosed(QLocalSocket *socket, quint32 instanceId);
    void processPeer(QLocalSocket *socket);
    void readFrameHeader(QLocalSocket *socket, PeerInfo::Stage nextStage);
    void readInitBody(QLocalSocket *socket);
    bool frameAvailable(QLocalSocket *socket) const;
    void sendAck(QLocalSocket *socket);
    void rejectPeer(QLocalSocket *socket, const char *reason);
    void dropPeer(QLocalSocket *socket);
    void forgetUngreeted(QLocalSocket *socket);
    void slotPeerStalled(QLocalSocket *socket);

    QString m_blockName;
    bool m_announceSecondaries = false;
    std::unique_ptr<InstanceListener> m_listener;
    QHash<QLocalSocket *, PeerInfo> m_peers;
    // Oldest first.
    QList<QLocalSocket *> m_ungreeted;
    int m_maxPeers = MaxPeersBound;
    // Set while connections are closed or refused for want of room; warned once per spell.
    bool m_crowded = false;
};
