#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <type_traits>

#include "common/singleinstance/uniqueapplication.h"

class BlockFileLock;
class InstanceListener;
class QLocalSocket;
class QSharedMemory;
class QTimer;

// The record in the shared block, shared with every other instance of the program: its layout
// is fixed (native byte order, 152 bytes).
struct InstanceBlock {
    static constexpr int UserFieldSize = 128;
    static constexpr int ChecksummedSize = 144;

    quint8 primary;
    quint8 padding1[3];
    quint32 secondaryCount;
    qint64 primaryPid;
    char primaryUser[UserFieldSize];
    quint16 checksum;
    quint8 padding2[6];
};
static_assert(std::is_standard_layout<InstanceBlock>::value, "the block is shared memory");
static_assert(std::is_trivially_copyable<InstanceBlock>::value, "the block is shared memory");
static_assert(offsetof(InstanceBlock, primary) == 0, "primary at 0");
static_assert(offsetof(InstanceBlock, secondaryCount) == 4, "secondary count at 4");
static_assert(offsetof(InstanceBlock, primaryPid) == 8, "primary process id at 8");
static_assert(offsetof(InstanceBlock, primaryUser) == 16, "primary user at 16");
static_assert(offsetof(InstanceBlock, checksum) == InstanceBlock::ChecksummedSize,
              "checksum right after the checksummed bytes");
static_assert(sizeof(InstanceBlock) == 152, "the block is 152 bytes");

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

// Everything that makes up the identity of the program for the block name.
struct BlockIdentity {
    QString applicationName;
    QString organizationName;
    QString organizationDomain;
    QStringList extraHashData;
    QString applicationVersion;
    QString applicationFilePath;
    QString userName;
};

class UniqueApplicationPrivate : public QObject
{
    Q_OBJECT

public:
    enum ConnectionType : quint8 {
        InitNewInstance = 1,
        InitSecondaryInstance = 2,
        InitReconnect = 3,
    };

    static constexpr int StreamVersion = 17; // QDataStream::Qt_5_6
    static constexpr qint64 FrameHeaderSize = 8;
    static constexpr char Ack = '\n';
    // A real init body is 55 bytes; anything announcing more than this is not one of ours.
    static constexpr quint64 MaxInitBodyLength = 1024;
    // Messages are held whole in memory before they are handed on.
    static constexpr quint64 MaxMessageLength = 64 * 1024 * 1024;
    // A peer that leaves a frame unfinished this long is dropped.
    static constexpr int PeerStallTimeout = 5000;
    // Connections that have not finished their greeting yet; beyond this the oldest is closed,
    // so that a flood of connections cannot use up the primary's descriptors.
    static constexpr int MaxUngreetedPeers = 32;
    // At most this share of the open-file limit goes to connections of later instances.
    static constexpr int PeerShareOfDescriptors = 2;
    static constexpr int MaxPeersBound = 4096;
    static constexpr int RelistenAttempts = 3;
    static constexpr int InconsistentBlockTimeout = 5000;
    static constexpr int RandomWaitMinMs = 8;
    static constexpr int RandomWaitEndMs = 18;

    explicit UniqueApplicationPrivate(UniqueApplication *application);
    ~UniqueApplicationPrivate() override;

    static QString computeBlockName(const BlockIdentity &identity, UniqueApplication::Mode options);
    // Where the socket and the block's key file of blockName live in folder. The key file keeps
    // the name Qt derives from the block name.
    static QString serverPath(const QString &folder, const QString &blockName);
    static QString keyFilePath(const QString &folder, const QString &blockName);
    static BlockIdentity applicationIdentity(const QStringList &extraHashData);
    static quint16 computeChecksum(const InstanceBlock &block);
    static QByteArray encodeInitBody(const QString &blockName, quint8 kind, quint32 instanceId);
    // Fills kind and instanceId when the body is a well-formed init message for blockName, of
    // any kind: a kind that announces nothing still opens the connection for messages.
    static bool decodeInitBody(const QByteArray &body, const QString &blockName, quint8 *kind,
                               quint32 *instanceId);

    void buildBlockName();
    // The folder of the socket, lock and key files for the scope of options; false when no
    // private one can be had.
    bool locateFolder();
    // Leaves the block alone for good: this process runs without the single-instance guarantee.
    void runUnguarded(const QString &reason);
    bool isGuarded() const { return m_sharedBlock != nullptr; }
    // An object for the block, its key file in the folder (the semaphore of a key given by
    // name would have its key file in the temporary folder).
    QSharedMemory *newBlockObject() const;
    void resetBlock();
    void becomePrimary();
    void becomeSecondary();
    bool connectToPrimaryInstance(int timeout, ConnectionType kind);
    quint16 computeBlockChecksum() const;
    static void randomWait();
    static int peerLimit();
    bool writeAcknowledgedFrame(int timeout, const QByteArray &bytes);
    bool writeAcknowledgedMessage(int timeout, const QByteArray &body);
    void readFrameHeader(QLocalSocket *socket, PeerInfo::Stage nextStage);
    void readInitBody(QLocalSocket *socket);
    bool frameAvailable(QLocalSocket *socket) const;
    void sendAck(QLocalSocket *socket);

    // The block's lock together with the lock file around it; both or neither are held.
    bool lockBlock();
    bool unlockBlock();

    InstanceBlock *block() const;
    bool blockIsConsistent() const;
    // Block locked by the caller: drops a primary that no longer exists from the record.
    bool clearVanishedPrimary();
    void clearPrimary();

public slots:
    void slotConnectionEstablished();
    void slotDataAvailable(QLocalSocket *socket, quint32 instanceId);
    void slotClientConnectionClosed(QLocalSocket *socket, quint32 instanceId);

public:
    UniqueApplication *m_application = nullptr;
    QSharedMemory *m_sharedBlock = nullptr;
    BlockFileLock *m_fileLock = nullptr;
    QLocalSocket *m_clientSocket = nullptr;
    InstanceListener *m_localServer = nullptr;
    quint32 m_instanceId = 0;
    QString m_blockName;
    QString m_folder;
    // The full path of the local socket: the folder followed by the block name.
    QString m_serverName;
    UniqueApplication::Mode m_options;
    QHash<QLocalSocket *, PeerInfo> m_peers;
    QStringList m_extraHashData;
    // Oldest first.
    QList<QLocalSocket *> m_ungreeted;
    int m_maxPeers = MaxPeersBound;
    // Set while connections are closed or refused for want of room; warned once per spell.
    bool m_crowded = false;

private:
    Q_DISABLE_COPY(UniqueApplicationPrivate)

    void processPeer(QLocalSocket *socket);
    void rejectPeer(QLocalSocket *socket, const char *reason);
    void dropPeer(QLocalSocket *socket);
    void forgetUngreeted(QLocalSocket *socket);
    void slotSocketFileLost();
    void slotPeerStalled(QLocalSocket *socket);
};
