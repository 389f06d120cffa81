#include "uniqueapplicationprivate.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>

#include "common/singleinstance/blockname.h"
#include "common/singleinstance/instanceclient.h"
#include "common/singleinstance/instanceserver.h"
#include "common/singleinstance/primaryprobe.h"
#include "common/singleinstance/runtimefolder.h"
#include "common/singleinstance/sharedblock.h"

UniqueApplicationPrivate::UniqueApplicationPrivate(UniqueApplication *application,
                                                   UniqueApplication::Mode options,
                                                   const QString &extra)
    : m_application(application), m_options(options)
{
    if (!extra.isEmpty())
        m_extraHashData.append(extra);
    m_blockName = BlockName::compute(BlockName::applicationIdentity(m_extraHashData), m_options);
}

UniqueApplicationPrivate::~UniqueApplicationPrivate()
{
    m_client.reset();
    if (!m_block)
        return;

    const bool locked = m_block->lock();
    if (!locked)
        qDebug().noquote() << "UniqueApplication: Unable to lock memory for cleanup."
                           << m_block->errorString();
    if (m_server) {
        m_server.reset();
        // A primary judged gone and replaced must not erase its successor's record.
        if (locked && m_block->primaryPid() == QCoreApplication::applicationPid())
            m_block->clearPrimary();
    }
    if (locked && !m_block->unlock())
        qDebug().noquote() << "UniqueApplication: Unable to unlock memory for cleanup."
                           << m_block->errorString();
    m_block.reset();
}

UniqueApplicationPrivate::Role UniqueApplicationPrivate::start(bool allowSecondary, int timeout)
{
    InstanceClient::randomWait();

    // Nothing another user owns may keep the program from starting: without a folder of its
    // own the guard stands aside.
    if (!locateFolder()) {
        runUnguarded(QStringLiteral("No private folder for the socket and the block."));
        return Role::Unguarded;
    }
    m_block =
        std::make_unique<SharedBlock>(BlockName::keyFilePath(m_folder, m_blockName), m_serverName);
    // Taken before the block is created or attached, so that a start never sees a block that
    // another one has just created and not yet filled in.
    if (!m_block->lock()) {
        runUnguarded(QStringLiteral("Unable to lock memory block."));
        return Role::Unguarded;
    }
    switch (m_block->open()) {
    case SharedBlock::Opened::Created:
    case SharedBlock::Opened::Attached:
        break;
    case SharedBlock::Opened::AttachFailed:
        runUnguarded(QStringLiteral("Unable to attach to shared memory block."));
        return Role::Unguarded;
    case SharedBlock::Opened::TooSmall:
        runUnguarded(QStringLiteral("Shared memory block is smaller than expected."));
        return Role::Unguarded;
    case SharedBlock::Opened::CreateFailed:
        qCritical("UniqueApplication: Unable to create block.");
        return Role::Failed;
    }
    if (!awaitConsistentBlock())
        return Role::Unguarded;

    // A primary killed outright leaves its record behind: without this check every later
    // start would hand over to a dead process and quit.
    if (m_block->hasPrimary())
        m_block->clearVanishedPrimary(m_serverName);
    // Nobody on record and nobody on the socket: a primary whose block this start cannot see
    // (a cleaner deleted the key file under it) still answers there.
    if (!m_block->hasPrimary() &&
        PrimaryProbe::serverState(m_serverName) != PrimaryProbe::ServerState::Listening) {
        becomePrimary();
        unlockBlock("UniqueApplication: Unable to unlock memory after primary start.");
        return Role::Primary;
    }

    if (allowSecondary) {
        becomeSecondary();
        if (m_options.testFlag(UniqueApplication::NotifyOnSecondary))
            connectToPrimaryInstance(timeout, InstanceProtocol::InitSecondaryInstance);
        unlockBlock("UniqueApplication: Unable to unlock memory after secondary start.");
        return Role::Secondary;
    }

    unlockBlock("UniqueApplication: Unable to unlock memory at end of execution.");
    connectToPrimaryInstance(timeout, InstanceProtocol::InitNewInstance);
    return Role::HandedOver;
}

bool UniqueApplicationPrivate::awaitConsistentBlock()
{
    QElapsedTimer inconsistentFor;
    inconsistentFor.start();
    while (!m_block->isConsistent()) {
        if (inconsistentFor.elapsed() > InconsistentBlockTimeout) {
            qWarning("UniqueApplication: Shared memory block has been in an inconsistent state "
                     "from more than 5s. Assuming primary instance failure.");
            m_block->reset();
        }
        unlockBlock("UniqueApplication: Unable to unlock memory for random wait.");
        InstanceClient::randomWait();
        if (!m_block->lock()) {
            runUnguarded(QStringLiteral("Unable to lock memory after random wait."));
            return false;
        }
    }
    return true;
}

void UniqueApplicationPrivate::unlockBlock(const char *failureLine)
{
    if (m_block->unlock())
        return;
    qDebug("%s", failureLine);
    qDebug().noquote() << m_block->errorString();
}

bool UniqueApplicationPrivate::locateFolder()
{
    // Instances of every user meet when the scope is the whole machine: that can only be a
    // folder that everybody can write.
    m_folder = m_options.testFlag(UniqueApplication::PerUser) ? RuntimeFolder::locate()
                                                              : QDir::cleanPath(QDir::tempPath());
    m_serverName = BlockName::serverPath(m_folder, m_blockName);
    return !m_folder.isEmpty();
}

void UniqueApplicationPrivate::runUnguarded(const QString &reason)
{
    QString detail;
    if (m_block && m_block->error() != QSharedMemory::NoError)
        detail = QStringLiteral(" %1 %2").arg(int(m_block->error())).arg(m_block->errorString());
    qWarning().noquote() << QStringLiteral("UniqueApplication: %1%2 Running without the "
                                           "single-instance guarantee.")
                                .arg(reason, detail);
    m_block.reset();
}

QString UniqueApplicationPrivate::blockError() const
{
    if (!m_block)
        return QString();
    return QStringLiteral("%1 %2").arg(int(m_block->error())).arg(m_block->errorString());
}

void UniqueApplicationPrivate::becomePrimary()
{
    m_block->recordPrimary();
    m_instanceId = 0;

    const bool perUser = m_options.testFlag(UniqueApplication::PerUser);
    m_server = std::make_unique<InstanceServer>(
        m_blockName, m_options.testFlag(UniqueApplication::NotifyOnSecondary));
    // listen replaces the file of a crashed primary's server.
    if (!m_server->listen(m_serverName, !perUser))
        qWarning().noquote() << "UniqueApplication: Unable to listen for later instances."
                             << m_server->errorString();
    connect(m_server.get(), &InstanceServer::instanceStarted, m_application,
            &UniqueApplication::instanceStarted);
    connect(m_server.get(), &InstanceServer::receivedMessage, m_application,
            &UniqueApplication::receivedMessage);
    connect(m_server.get(), &InstanceServer::socketFileLost, this,
            &UniqueApplicationPrivate::slotSocketFileLost);
}

void UniqueApplicationPrivate::slotSocketFileLost()
{
    qWarning().noquote() << QStringLiteral("UniqueApplication: The socket file %1 has gone; "
                                           "listening again.")
                                .arg(m_serverName);
    if (!m_block || !m_block->lock())
        return;
    // Another start that found no server in the meantime has become the primary: its socket
    // is not ours to take.
    if (m_block->primaryPid() != QCoreApplication::applicationPid() ||
        PrimaryProbe::serverState(m_serverName) == PrimaryProbe::ServerState::Listening) {
        qWarning("UniqueApplication: Another instance has taken over as primary.");
        m_block->unlock();
        return;
    }
    const bool perUser = m_options.testFlag(UniqueApplication::PerUser);
    // A cleaner may take the whole folder, and may still be at it.
    bool listening = false;
    for (int attempt = 0; attempt < RelistenAttempts && !listening; ++attempt)
        listening =
            (!perUser || RuntimeFolder::make(m_folder)) && m_server->listen(m_serverName, !perUser);
    if (!listening)
        qWarning().noquote() << "UniqueApplication: Unable to listen for later instances."
                             << m_server->errorString();
    m_block->unlock();
}

void UniqueApplicationPrivate::becomeSecondary()
{
    m_instanceId = m_block->addSecondary();
}

bool UniqueApplicationPrivate::connectToPrimaryInstance(int timeout,
                                                        InstanceProtocol::ConnectionType kind)
{
    if (!m_client)
        m_client = std::make_unique<InstanceClient>(m_serverName, m_blockName);
    return m_client->connectToPrimary(timeout, kind, m_instanceId);
}

bool UniqueApplicationPrivate::sendMessageToPrimary(const QByteArray &message, int timeout)
{
    if (isPrimary() || !m_block)
        return false;
    if (!connectToPrimaryInstance(timeout, InstanceProtocol::InitReconnect))
        return false;
    return m_client->writeAcknowledgedMessage(timeout, message);
}

qint64 UniqueApplicationPrivate::primaryProcessId() const
{
    if (!m_block || !m_block->lock())
        return -1;
    const qint64 pid = m_block->primaryPid();
    m_block->unlock();
    return pid;
}

QString UniqueApplicationPrivate::primaryUserName() const
{
    if (!m_block || !m_block->lock())
        return QString();
    const QString user = m_block->primaryUserName();
    m_block->unlock();
    return user;
}
