#include "sharedblock.h"

#include <QCoreApplication>
#include <QDebug>

#include "common/singleinstance/blockfilelock.h"
#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/primaryprobe.h"

SharedBlock::SharedBlock(const QString &keyFile, const QString &serverName)
    : m_keyFile(keyFile), m_fileLock(std::make_unique<BlockFileLock>(serverName)),
      m_memory(newMemory())
{
}

SharedBlock::~SharedBlock() = default;

std::unique_ptr<QSharedMemory> SharedBlock::newMemory() const
{
    auto memory = std::make_unique<QSharedMemory>();
    memory->setNativeKey(m_keyFile);
    return memory;
}

// The block's own lock (a System V semaphore) has its key file in the temporary folder, where
// anyone can take it; the lock file in the private folder serves alone.
bool SharedBlock::lock()
{
    return m_fileLock->lock();
}

bool SharedBlock::unlock()
{
    if (!m_fileLock->isLocked())
        return false;
    m_fileLock->unlock();
    return true;
}

SharedBlock::Opened SharedBlock::open()
{
    if (m_memory->create(sizeof(InstanceBlock), QSharedMemory::ReadWrite)) {
        reset();
        return Opened::Created;
    }
    if (m_memory->error() != QSharedMemory::AlreadyExists)
        return Opened::CreateFailed;
    // An object whose create failed cannot attach with a native key (its unused lock keeps an
    // error from the attempt); a fresh one can.
    m_memory.reset();
    m_memory = newMemory();
    // A segment at our key that we cannot use is someone else's.
    if (!m_memory->attach(QSharedMemory::ReadWrite))
        return Opened::AttachFailed;
    // Someone else's segment under our key would be read past its end.
    if (m_memory->size() < int(sizeof(InstanceBlock)))
        return Opened::TooSmall;
    return Opened::Attached;
}

InstanceBlock *SharedBlock::record() const
{
    return static_cast<InstanceBlock *>(m_memory->data());
}

quint16 SharedBlock::computeChecksum(const InstanceBlock &block)
{
    return qChecksum(reinterpret_cast<const char *>(&block), InstanceBlock::ChecksummedSize);
}

void SharedBlock::updateChecksum()
{
    record()->checksum = computeChecksum(*record());
}

bool SharedBlock::isConsistent() const
{
    return record()->checksum == computeChecksum(*record());
}

bool SharedBlock::hasPrimary() const
{
    return record()->primary != 0;
}

qint64 SharedBlock::primaryPid() const
{
    return record()->primaryPid;
}

QString SharedBlock::primaryUserName() const
{
    // Bounded: a record written by someone else need not be terminated.
    const char *field = record()->primaryUser;
    return QString::fromUtf8(field, int(qstrnlen(field, InstanceBlock::UserFieldSize)));
}

void SharedBlock::reset()
{
    record()->secondaryCount = 0;
    clearPrimary();
}

void SharedBlock::clearPrimary()
{
    InstanceBlock *block = record();
    block->primary = 0;
    block->primaryPid = -1;
    block->primaryUser[0] = '\0';
    updateChecksum();
}

bool SharedBlock::clearVanishedPrimary(const QString &serverName)
{
    const qint64 pid = record()->primaryPid;
    const PrimaryProbe::ProcessState process = PrimaryProbe::processState(pid);
    // The server is probed only for a running process: that is where an id can be reused.
    const PrimaryProbe::ServerState server = process == PrimaryProbe::ProcessState::Gone
                                                 ? PrimaryProbe::ServerState::Unknown
                                                 : PrimaryProbe::serverState(serverName);
    if (!PrimaryProbe::isPrimaryGone(pid, process, server))
        return false;

    qDebug().noquote() << QStringLiteral("UniqueApplication: Primary instance %1 no longer "
                                         "exists; taking its place.")
                              .arg(pid);
    // The secondary count stays: ids of secondaries still running must not be handed out again.
    clearPrimary();
    return true;
}

void SharedBlock::recordPrimary()
{
    InstanceBlock *block = record();
    block->primary = 1;
    block->primaryPid = QCoreApplication::applicationPid();
    qstrncpy(block->primaryUser, PlatformUser::currentUserName().toUtf8().constData(),
             InstanceBlock::UserFieldSize);
    updateChecksum();
}

quint32 SharedBlock::addSecondary()
{
    record()->secondaryCount += 1;
    updateChecksum();
    return record()->secondaryCount;
}
