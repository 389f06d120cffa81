#include "uniqueapplication.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QSharedMemory>

#include <cstdlib>

#include "common/singleinstance/blockfilelock.h"
#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/primaryprobe.h"
#include "common/singleinstance/uniqueapplicationprivate.h"

namespace
{

void debugUnlockFailure(const char *line, const QSharedMemory *block)
{
    qDebug("%s", line);
    qDebug().noquote() << block->errorString();
}

} // namespace

UniqueApplication::UniqueApplication(int &argc, char *argv[], bool allowSecondary, Mode options,
                                     int timeout, const QString &extra)
    : QApplication(argc, argv), m_d(new UniqueApplicationPrivate(this))
{
    m_d->m_options = options;
    if (!extra.isEmpty())
        m_d->m_extraHashData.append(extra);

    m_d->buildBlockName();
    m_d->randomWait();

    // Nothing another user owns may keep the program from starting: without a folder of its
    // own the guard stands aside.
    if (!m_d->locateFolder()) {
        m_d->runUnguarded(QStringLiteral("No private folder for the socket and the block."));
        return;
    }
    m_d->m_sharedBlock = m_d->newBlockObject();
    QSharedMemory *sharedBlock = m_d->m_sharedBlock;
    // Taken before the block is created or attached, so that a start never sees a block that
    // another one has just created and not yet filled in.
    m_d->m_fileLock = new BlockFileLock(m_d->m_serverName);
    if (!m_d->lockBlock()) {
        m_d->runUnguarded(QStringLiteral("Unable to lock memory block."));
        return;
    }
    if (sharedBlock->create(sizeof(InstanceBlock), QSharedMemory::ReadWrite)) {
        m_d->resetBlock();
    } else if (sharedBlock->error() == QSharedMemory::AlreadyExists) {
        // An object whose create failed cannot attach with a native key (its unused lock keeps
        // an error from the attempt); a fresh one can.
        delete sharedBlock;
        sharedBlock = m_d->m_sharedBlock = m_d->newBlockObject();
        // A segment at our key that we cannot use is someone else's.
        if (!sharedBlock->attach(QSharedMemory::ReadWrite)) {
            m_d->runUnguarded(QStringLiteral("Unable to attach to shared memory block."));
            return;
        }
        // Someone else's segment under our key would be read past its end.
        if (sharedBlock->size() < int(sizeof(InstanceBlock))) {
            m_d->runUnguarded(QStringLiteral("Shared memory block is smaller than expected."));
            return;
        }
    } else {
        qCritical("UniqueApplication: Unable to create block.");
        abortSafely();
    }

    QElapsedTimer inconsistentFor;
    inconsistentFor.start();
    while (!m_d->blockIsConsistent()) {
        if (inconsistentFor.elapsed() > UniqueApplicationPrivate::InconsistentBlockTimeout) {
            qWarning("UniqueApplication: Shared memory block has been in an inconsistent state "
                     "from more than 5s. Assuming primary instance failure.");
            m_d->resetBlock();
        }
        if (!m_d->unlockBlock())
            debugUnlockFailure("UniqueApplication: Unable to unlock memory for random wait.",
                               sharedBlock);
        m_d->randomWait();
        if (!m_d->lockBlock()) {
            m_d->runUnguarded(QStringLiteral("Unable to lock memory after random wait."));
            return;
        }
    }

    // A primary killed outright leaves its record behind: without this check every later
    // start would hand over to a dead process and quit.
    if (m_d->block()->primary != 0)
        m_d->clearVanishedPrimary();
    // Nobody on record and nobody on the socket: a primary whose block this start cannot see
    // (a cleaner deleted the key file under it) still answers there.
    if (m_d->block()->primary == 0 &&
        PrimaryProbe::serverState(m_d->m_serverName) != PrimaryProbe::ServerState::Listening) {
        m_d->becomePrimary();
        if (!m_d->unlockBlock())
            debugUnlockFailure("UniqueApplication: Unable to unlock memory after primary start.",
                               sharedBlock);
        return;
    }

    if (allowSecondary) {
        m_d->becomeSecondary();
        if (options.testFlag(NotifyOnSecondary))
            m_d->connectToPrimaryInstance(timeout, UniqueApplicationPrivate::InitSecondaryInstance);
        if (!m_d->unlockBlock())
            debugUnlockFailure("UniqueApplication: Unable to unlock memory after secondary start.",
                               sharedBlock);
        return;
    }

    if (!m_d->unlockBlock())
        debugUnlockFailure("UniqueApplication: Unable to unlock memory at end of execution.",
                           sharedBlock);
    m_d->connectToPrimaryInstance(timeout, UniqueApplicationPrivate::InitNewInstance);
    delete m_d;
    m_d = nullptr;
    std::exit(EXIT_SUCCESS);
}

UniqueApplication::~UniqueApplication()
{
    delete m_d;
    m_d = nullptr;
}

bool UniqueApplication::isPrimaryInstance() const
{
    return m_d->m_localServer != nullptr;
}

bool UniqueApplication::isSecondaryInstance() const
{
    return m_d->m_localServer == nullptr;
}

quint32 UniqueApplication::instanceId() const
{
    return m_d->m_instanceId;
}

qint64 UniqueApplication::primaryProcessId() const
{
    if (!m_d->lockBlock())
        return -1;
    const qint64 pid = m_d->block()->primaryPid;
    m_d->unlockBlock();
    return pid;
}

QString UniqueApplication::primaryUserName() const
{
    if (!m_d->lockBlock())
        return QString();
    // Bounded: a record written by someone else need not be terminated.
    const char *field = m_d->block()->primaryUser;
    const QByteArray user(field, int(qstrnlen(field, InstanceBlock::UserFieldSize)));
    m_d->unlockBlock();
    return QString::fromUtf8(user);
}

QString UniqueApplication::currentUserName() const
{
    return PlatformUser::currentUserName();
}

QStringList UniqueApplication::extraHashData() const
{
    return m_d->m_extraHashData;
}

bool UniqueApplication::sendMessageToPrimary(const QByteArray &message, int timeout)
{
    if (isPrimaryInstance() || !m_d->isGuarded())
        return false;
    if (!m_d->connectToPrimaryInstance(timeout, UniqueApplicationPrivate::InitReconnect))
        return false;
    return m_d->writeAcknowledgedMessage(timeout, message);
}

void UniqueApplication::abortSafely()
{
    if (QSharedMemory *sharedBlock = m_d->m_sharedBlock)
        qCritical().noquote() << QStringLiteral("UniqueApplication: %1 %2")
                                     .arg(int(sharedBlock->error()))
                                     .arg(sharedBlock->errorString());
    delete m_d;
    m_d = nullptr;
    std::exit(EXIT_FAILURE);
}
