#include "blockfilelock.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/singleinstance/primaryprobe.h"

namespace
{

// Readable by all, so that instances of other users can take the lock in a system-wide scope
// (in a per-user scope its folder keeps everybody else out); it holds no data.
constexpr mode_t LockFileMode = 0644;

} // namespace

BlockFileLock::BlockFileLock(const QString &serverName) : m_path(lockFilePath(serverName)) {}

BlockFileLock::~BlockFileLock()
{
    unlock();
    if (m_fd >= 0)
        ::close(m_fd);
}

QString BlockFileLock::lockFilePath(const QString &serverName)
{
    // Qt gives an empty temporary folder when TMPDIR names none; the lock then has no place
    // (the socket's rule would put it in the root folder).
    if (QDir::tempPath().isEmpty() || serverName.isEmpty())
        return QString();
    return PrimaryProbe::serverPath(serverName) + QStringLiteral(".lock");
}

bool BlockFileLock::lock()
{
    if (m_locked)
        return true;
    if (m_path.isEmpty()) {
        qDebug("UniqueApplication: No folder for the lock file; it is unusable.");
        return false;
    }
    if (m_fd < 0) {
        const QByteArray path = QFile::encodeName(m_path);
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, LockFileMode);
        if (m_fd < 0 && errno == EACCES)
            m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            qDebug().noquote() << QStringLiteral("UniqueApplication: Lock file %1 unusable: %2")
                                      .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    int result;
    do {
        result = ::flock(m_fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        qDebug().noquote() << QStringLiteral("UniqueApplication: Lock file %1 cannot be locked: %2")
                                  .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_locked = true;
    return true;
}

void BlockFileLock::unlock()
{
    if (!m_locked)
        return;
    ::flock(m_fd, LOCK_UN);
    m_locked = false;
}
