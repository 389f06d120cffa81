#include "uniqueapplicationprivate.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QRandomGenerator64>
#include <QSharedMemory>
#include <QThread>
#include <QTimer>

#include <cstring>

#include <sys/resource.h>

#include "common/singleinstance/blockfilelock.h"
#include "common/singleinstance/instancelistener.h"
#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/primaryprobe.h"
#include "common/singleinstance/runtimefolder.h"

static_assert(UniqueApplicationPrivate::StreamVersion == QDataStream::Qt_5_6,
              "the wire format is fixed to stream version 17");

namespace
{

const char *const HashSeed = "UniqueApplication";

int remainingTime(int timeout, const QElapsedTimer &timer)
{
    // Never negative: a negative wait means "forever" to the socket functions.
    return int(qMax<qint64>(0, timeout - timer.elapsed()));
}

QDataStream &configure(QDataStream &stream)
{
    stream.setVersion(UniqueApplicationPrivate::StreamVersion);
    return stream;
}

} // namespace

UniqueApplicationPrivate::UniqueApplicationPrivate(UniqueApplication *application)
    : m_application(application)
{
}

UniqueApplicationPrivate::~UniqueApplicationPrivate()
{
    if (m_clientSocket) {
        m_clientSocket->close();
        delete m_clientSocket;
        m_clientSocket = nullptr;
    }
    if (m_localServer) {
        // The connections die with the server; they must not report anything on the way.
        for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it)
            it.key()->disconnect(this);
        m_peers.clear();
    }
    if (!m_sharedBlock)
        return;

    const bool locked = lockBlock();
    if (!locked)
        qDebug().noquote() << "UniqueApplication: Unable to lock memory for cleanup."
                           << m_sharedBlock->errorString();
    if (m_localServer) {
        // Connections closed earlier and not yet deleted go with the listener; what they
        // report on the way must not reach it.
        InstanceListener *listener = m_localServer;
        m_localServer = nullptr;
        listener->close();
        delete listener;
        // A primary judged gone and replaced must not erase its successor's record.
        if (locked && block()->primaryPid == QCoreApplication::applicationPid())
            clearPrimary();
    }
    if (locked && !unlockBlock())
        qDebug().noquote() << "UniqueApplication: Unable to unlock memory for cleanup."
                           << m_sharedBlock->errorString();
    delete m_sharedBlock;
    m_sharedBlock = nullptr;
    delete m_fileLock;
    m_fileLock = nullptr;
}

QString UniqueApplicationPrivate::computeBlockName(const BlockIdentity &identity,
                                                   UniqueApplication::Mode options)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(HashSeed, int(std::strlen(HashSeed)));
    hash.addData(identity.applicationName.toUtf8());
    hash.addData(identity.organizationName.toUtf8());
    hash.addData(identity.organizationDomain.toUtf8());
    if (!identity.extraHashData.isEmpty())
        hash.addData(identity.extraHashData.join(QString()).toUtf8());
    if (!options.testFlag(UniqueApplication::IgnoreAppVersion))
        hash.addData(identity.applicationVersion.toUtf8());
    if (!options.testFlag(UniqueApplication::IgnoreAppPath))
        hash.addData(identity.applicationFilePath.toLower().toUtf8());
    if (options.testFlag(UniqueApplication::PerUser))
        hash.addData(identity.userName.toUtf8());

    // "/" cannot appear in a file name; the socket and the key file are files.
    return QString::fromLatin1(hash.result().toBase64().replace('/', '_'));
}

BlockIdentity UniqueApplicationPrivate::applicationIdentity(const QStringList &extraHashData)
{
    BlockIdentity identity;
    identity.applicationName = QCoreApplication::applicationName();
    identity.organizationName = QCoreApplication::organizationName();
    identity.organizationDomain = QCoreApplication::organizationDomain();
    identity.extraHashData = extraHashData;
    identity.applicationVersion = QCoreApplication::applicationVersion();
    identity.applicationFilePath = QCoreApplication::applicationFilePath();
    identity.userName = PlatformUser::currentUserName();
    return identity;
}

QString UniqueApplicationPrivate::serverPath(const QString &folder, const QString &blockName)
{
    return folder + QLatin1Char('/') + blockName;
}

QString UniqueApplicationPrivate::keyFilePath(const QString &folder, const QString &blockName)
{
    return serverPath(folder, QFileInfo(QSharedMemory(blockName).nativeKey()).fileName());
}

QSharedMemory *UniqueApplicationPrivate::newBlockObject() const
{
    auto *block = new QSharedMemory();
    block->setNativeKey(keyFilePath(m_folder, m_blockName));
    return block;
}

void UniqueApplicationPrivate::buildBlockName()
{
    m_blockName = computeBlockName(applicationIdentity(m_extraHashData), m_options);
}

bool UniqueApplicationPrivate::locateFolder()
{
    // Instances of every user meet when the scope is the whole machine: that can only be a
    // folder that everybody can write.
    m_folder = m_options.testFlag(UniqueApplication::PerUser) ? RuntimeFolder::locate()
                                                              : QDir::cleanPath(QDir::tempPath());
    m_serverName = serverPath(m_folder, m_blockName);
    return !m_folder.isEmpty();
}

void UniqueApplicationPrivate::runUnguarded(const QString &reason)
{
    QString detail;
    if (m_sharedBlock && m_sharedBlock->error() != QSharedMemory::NoError)
        detail = QStringLiteral(" %1 %2")
                     .arg(int(m_sharedBlock->error()))
                     .arg(m_sharedBlock->errorString());
    qWarning().noquote() << QStringLiteral("UniqueApplication: %1%2 Running without the "
                                           "single-instance guarantee.")
                                .arg(reason, detail);
    delete m_sharedBlock;
    m_sharedBlock = nullptr;
    delete m_fileLock;
    m_fileLock = nullptr;
}

// The block's own lock (a System V semaphore) has its key file in the temporary folder, where
// anyone can take it; the lock file in the private folder serves alone.
bool UniqueApplicationPrivate::lockBlock()
{
    return m_sharedBlock && m_fileLock && m_fileLock->lock();
}

bool UniqueApplicationPrivate::unlockBlock()
{
    if (!m_fileLock || !m_fileLock->isLocked())
        return false;
    m_fileLock->unlock();
    return true;
}

InstanceBlock *UniqueApplicationPrivate::block() const
{
    return static_cast<InstanceBlock *>(m_sharedBlock->data());
}

quint16 UniqueApplicationPrivate::computeChecksum(const InstanceBlock &block)
{
    return qChecksum(reinterpret_cast<const char *>(&block), InstanceBlock::ChecksummedSize);
}

quint16 UniqueApplicationPrivate::computeBlockChecksum() const
{
    return computeChecksum(*block());
}

bool UniqueApplicationPrivate::blockIsConsistent() const
{
    return block()->checksum == computeBlockChecksum();
}

void UniqueApplicationPrivate::resetBlock()
{
    block()->secondaryCount = 0;
    clearPrimary();
}

void UniqueApplicationPrivate::clearPrimary()
{
    InstanceBlock *record = block();
    record->primary = 0;
    record->primaryPid = -1;
    record->primaryUser[0] = '\0';
    record->checksum = computeBlockChecksum();
}

bool UniqueApplicationPrivate::clearVanishedPrimary()
{
    const qint64 pid = block()->primaryPid;
    const PrimaryProbe::ProcessState process = PrimaryProbe::processState(pid);
    // The server is probed only for a running process: that is where an id can be reused.
    const PrimaryProbe::ServerState server = process == PrimaryProbe::ProcessState::Gone
                                                 ? PrimaryProbe::ServerState::Unknown
                                                 : PrimaryProbe::serverState(m_serverName);
    if (!PrimaryProbe::isPrimaryGone(pid, process, server))
        return false;

    qDebug().noquote() << QStringLiteral("UniqueApplication: Primary instance %1 no longer "
                                         "exists; taking its place.")
                              .arg(pid);
    // The secondary count stays: ids of secondaries still running must not be handed out again.
    clearPrimary();
    return true;
}

void UniqueApplicationPrivate::becomePrimary()
{
    InstanceBlock *record = block();
    record->primary = 1;
    record->primaryPid = QCoreApplication::applicationPid();
    qstrncpy(record->primaryUser, PlatformUser::currentUserName().toUtf8().constData(),
             InstanceBlock::UserFieldSize);
    record->checksum = computeBlockChecksum();

    m_instanceId = 0;

    // listen replaces the file of a crashed primary's server.
    m_maxPeers = peerLimit();
    m_localServer = new InstanceListener();
    if (!m_localServer->listen(m_serverName, !m_options.testFlag(UniqueApplication::PerUser)))
        qWarning().noquote() << "UniqueApplication: Unable to listen for later instances."
                             << m_localServer->errorString();
    connect(m_localServer, &InstanceListener::newConnection, this,
            &UniqueApplicationPrivate::slotConnectionEstablished);
    connect(m_localServer, &InstanceListener::socketFileLost, this,
            &UniqueApplicationPrivate::slotSocketFileLost);
}

void UniqueApplicationPrivate::slotSocketFileLost()
{
    qWarning().noquote() << QStringLiteral("UniqueApplication: The socket file %1 has gone; "
                                           "listening again.")
                                .arg(m_serverName);
    if (!lockBlock())
        return;
    // Another start that found no server in the meantime has become the primary: its socket
    // is not ours to take.
    if (block()->primaryPid != QCoreApplication::applicationPid() ||
        PrimaryProbe::serverState(m_serverName) == PrimaryProbe::ServerState::Listening) {
        qWarning("UniqueApplication: Another instance has taken over as primary.");
        unlockBlock();
        return;
    }
    const bool perUser = m_options.testFlag(UniqueApplication::PerUser);
    // A cleaner may take the whole folder, and may still be at it.
    bool listening = false;
    for (int attempt = 0; attempt < RelistenAttempts && !listening; ++attempt)
        listening = (!perUser || RuntimeFolder::make(m_folder)) &&
                    m_localServer->listen(m_serverName, !perUser);
    if (!listening)
        qWarning().noquote() << "UniqueApplication: Unable to listen for later instances."
                             << m_localServer->errorString();
    unlockBlock();
}

void UniqueApplicationPrivate::becomeSecondary()
{
    InstanceBlock *record = block();
    record->secondaryCount += 1;
    record->checksum = computeBlockChecksum();
    m_instanceId = record->secondaryCount;
}

void UniqueApplicationPrivate::randomWait()
{
    QThread::msleep(static_cast<unsigned long>(
        QRandomGenerator64::global()->bounded(RandomWaitMinMs, RandomWaitEndMs)));
}

QByteArray UniqueApplicationPrivate::encodeInitBody(const QString &blockName, quint8 kind,
                                                    quint32 instanceId)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    configure(out);
    out << blockName.toLatin1() << kind << instanceId;
    out << qChecksum(body.constData(), uint(body.size()));
    return body;
}

bool UniqueApplicationPrivate::decodeInitBody(const QByteArray &body, const QString &blockName,
                                              quint8 *kind, quint32 *instanceId)
{
    if (body.size() < int(sizeof(quint16)))
        return false;
    QDataStream in(body);
    configure(in);
    QByteArray name;
    quint8 connectionType = 0;
    quint32 id = 0;
    quint16 checksum = 0;
    in >> name >> connectionType >> id >> checksum;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    if (name != blockName.toLatin1())
        return false;
    if (checksum != qChecksum(body.constData(), uint(body.size()) - sizeof(quint16)))
        return false;
    *kind = connectionType;
    *instanceId = id;
    return true;
}

bool UniqueApplicationPrivate::connectToPrimaryInstance(int timeout, ConnectionType kind)
{
    QElapsedTimer timer;
    timer.start();
    if (!m_clientSocket)
        m_clientSocket = new QLocalSocket();
    if (m_clientSocket->state() == QLocalSocket::ConnectedState)
        return true;

    for (;;) {
        randomWait();
        if (m_clientSocket->state() != QLocalSocket::ConnectingState)
            m_clientSocket->connectToServer(m_serverName, QIODevice::ReadWrite);
        if (m_clientSocket->state() == QLocalSocket::ConnectingState)
            m_clientSocket->waitForConnected(remainingTime(timeout, timer));
        if (m_clientSocket->state() == QLocalSocket::ConnectedState)
            break;
        if (timer.elapsed() >= timeout)
            return false;
    }

    return writeAcknowledgedMessage(remainingTime(timeout, timer),
                                    encodeInitBody(m_blockName, kind, m_instanceId));
}

bool UniqueApplicationPrivate::writeAcknowledgedMessage(int timeout, const QByteArray &body)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    configure(out);
    out << quint64(body.size());
    if (!writeAcknowledgedFrame(remainingTime(timeout, timer), header))
        return false;
    return writeAcknowledgedFrame(remainingTime(timeout, timer), body);
}

bool UniqueApplicationPrivate::writeAcknowledgedFrame(int timeout, const QByteArray &bytes)
{
    m_clientSocket->write(bytes);
    m_clientSocket->flush();
    // Waiting for the answer also writes whatever the socket could not take at once. The
    // answer may be here already: an empty frame is taken together with its header.
    if (m_clientSocket->bytesAvailable() == 0 && !m_clientSocket->waitForReadyRead(timeout)) {
        // Where the primary stands in this frame is unknown now; a late acknowledgement would
        // be taken for the next frame's. The next message starts on a fresh connection.
        m_clientSocket->abort();
        return false;
    }
    char ack = 0;
    m_clientSocket->getChar(&ack);
    return true;
}

void UniqueApplicationPrivate::slotConnectionEstablished()
{
    QLocalSocket *socket = m_localServer->nextPendingConnection();
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
        if (m_localServer)
            m_localServer->resumeAccepting();
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { processPeer(socket); });

    // Bytes may have arrived together with the connection.
    if (socket->bytesAvailable() > 0)
        processPeer(socket);
}

void UniqueApplicationPrivate::processPeer(QLocalSocket *socket)
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

void UniqueApplicationPrivate::readFrameHeader(QLocalSocket *socket, PeerInfo::Stage nextStage)
{
    const auto it = m_peers.find(socket);
    if (it == m_peers.end() || socket->bytesAvailable() < FrameHeaderSize)
        return;

    QDataStream in(socket);
    configure(in);
    quint64 length = 0;
    in >> length;
    const quint64 limit =
        nextStage == PeerInfo::AwaitInitBody ? MaxInitBodyLength : MaxMessageLength;
    if (in.status() != QDataStream::Ok || length > limit) {
        rejectPeer(socket, "frame too long");
        return;
    }
    it->length = length;
    it->stage = nextStage;
    sendAck(socket);
}

bool UniqueApplicationPrivate::frameAvailable(QLocalSocket *socket) const
{
    const auto it = m_peers.constFind(socket);
    if (it == m_peers.cend())
        return false;
    return socket->bytesAvailable() >= qint64(it->length);
}

void UniqueApplicationPrivate::readInitBody(QLocalSocket *socket)
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
    if (!decodeInitBody(body, m_blockName, &kind, &instanceId)) {
        rejectPeer(socket, "not an instance of this application");
        return;
    }

    it->instanceId = instanceId;
    it->stage = PeerInfo::AwaitMessageHeader;
    forgetUngreeted(socket);
    QPointer<QLocalSocket> guard(socket);
    if (kind == InitNewInstance ||
        (kind == InitSecondaryInstance && m_options.testFlag(UniqueApplication::NotifyOnSecondary)))
        emit m_application->instanceStarted();
    if (guard)
        sendAck(socket);
}

void UniqueApplicationPrivate::slotDataAvailable(QLocalSocket *socket, quint32 instanceId)
{
    if (!frameAvailable(socket))
        return;
    const auto it = m_peers.find(socket);
    if (it->stage != PeerInfo::AwaitMessageBody)
        return;

    const QByteArray message = socket->read(qint64(it->length));
    sendAck(socket);
    it->stage = PeerInfo::AwaitMessageHeader;
    emit m_application->receivedMessage(instanceId, message);
}

void UniqueApplicationPrivate::slotClientConnectionClosed(QLocalSocket *socket, quint32 instanceId)
{
    Q_UNUSED(instanceId)
    // Whole frames still in the buffer are handled by their stage, not taken as a message:
    // an unfinished init must not reach receivedMessage.
    if (socket->bytesAvailable() > 0)
        processPeer(socket);
}

void UniqueApplicationPrivate::sendAck(QLocalSocket *socket)
{
    socket->putChar(Ack);
}

void UniqueApplicationPrivate::rejectPeer(QLocalSocket *socket, const char *reason)
{
    qDebug("UniqueApplication: Closing a connection: %s.", reason);
    dropPeer(socket);
}

void UniqueApplicationPrivate::dropPeer(QLocalSocket *socket)
{
    // Out of the table first, so that closing does not hand its bytes to anyone.
    m_peers.remove(socket);
    forgetUngreeted(socket);
    socket->close();
    socket->deleteLater();
}

void UniqueApplicationPrivate::forgetUngreeted(QLocalSocket *socket)
{
    m_ungreeted.removeOne(socket);
    if (m_ungreeted.isEmpty() && m_peers.size() < m_maxPeers)
        m_crowded = false;
}

int UniqueApplicationPrivate::peerLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return MaxPeersBound;
    return int(qBound<rlim_t>(1, limit.rlim_cur / PeerShareOfDescriptors, MaxPeersBound));
}

void UniqueApplicationPrivate::slotPeerStalled(QLocalSocket *socket)
{
    const auto it = m_peers.constFind(socket);
    if (it == m_peers.cend())
        return;
    if (it->stage == PeerInfo::AwaitMessageHeader && socket->bytesAvailable() == 0)
        return;
    rejectPeer(socket, "no progress");
}
