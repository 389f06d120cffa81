#pragma once

#include <QSharedMemory>
#include <QString>

#include <cstddef>
#include <memory>
#include <type_traits>

class BlockFileLock;

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

// The record every instance reads to learn whether a primary runs, in a System V segment, and
// the lock that serialises every instance's work on it. Every writer updates the checksum last:
// a record whose checksum does not match was left half written.
class SharedBlock
{
public:
    enum class Opened { Created, Attached, AttachFailed, TooSmall, CreateFailed };

    // keyFile: the segment's key file (given as a path, so that it lies in the guard's folder
    // and not in the temporary folder); serverName: the primary's socket, beside which the lock
    // file lies.
    SharedBlock(const QString &keyFile, const QString &serverName);
    ~SharedBlock();

    // The block's lock together with the lock file around it; both or neither are held.
    bool lock();
    bool unlock();

    // Everything below with the lock held by the caller.

    // Creates the block with an empty record, or attaches to the one that exists.
    Opened open();
    QSharedMemory::SharedMemoryError error() const { return m_memory->error(); }
    QString errorString() const { return m_memory->errorString(); }

    bool isConsistent() const;
    bool hasPrimary() const;
    qint64 primaryPid() const;
    QString primaryUserName() const;

    void reset();
    void clearPrimary();
    // Drops a primary that no longer exists (its server no longer answering at serverName)
    // from the record.
    bool clearVanishedPrimary(const QString &serverName);
    void recordPrimary();
    // The new secondary's id.
    quint32 addSecondary();

    static quint16 computeChecksum(const InstanceBlock &block);

private:
    Q_DISABLE_COPY(SharedBlock)

    std::unique_ptr<QSharedMemory> newMemory() const;
    InstanceBlock *record() const;
    void updateChecksum();

    QString m_keyFile;
    // Declared before the segment so that it goes after it.
    std::unique_ptr<BlockFileLock> m_fileLock;
    std::unique_ptr<QSharedMemory> m_memory;
};
