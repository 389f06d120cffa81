#pragma once

#include <QString>

// A lock file beside the local socket that serialises every instance's work on the shared block.
// It stands in for the block's own lock, a System V semaphore that Qt removes when the process
// that created it exits, even while another process holds it or waits for it (waiters then
// recreate it and two starts can decide at once), and whose key file lies in the temporary
// folder. flock() has no owner to lose: the kernel releases it when its holder ends, whatever
// way it ends.
class BlockFileLock
{
public:
    // serverName: the local server's name or full path; the lock file is its path + ".lock".
    explicit BlockFileLock(const QString &serverName);
    ~BlockFileLock();

    static QString lockFilePath(const QString &serverName);

    // Waits for the lock. False when the lock file cannot be used.
    bool lock();
    void unlock();

    bool isLocked() const { return m_locked; }

private:
    Q_DISABLE_COPY(BlockFileLock)

    QString m_path;
    int m_fd = -1;
    bool m_locked = false;
};
