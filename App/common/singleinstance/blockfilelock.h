#pragma once

#include <QString>

// A lock file beside the local socket that serialises every instance's work on the shared block,
// held around the block's own lock. The block's lock is a System V semaphore that Qt removes
// when the process that created it exits, even while another process holds it or waits for it;
// waiters then recreate it and two starts can decide at once. flock() has no owner to lose: the
// kernel releases it when its holder ends, whatever way it ends.
class BlockFileLock
{
public:
    explicit BlockFileLock(const QString &blockName);
    ~BlockFileLock();

    static QString lockFilePath(const QString &blockName);

    // Waits for the lock. False when the lock file cannot be used; the caller then relies on
    // the block's own lock alone.
    bool lock();
    void unlock();

    bool isLocked() const { return m_locked; }

private:
    Q_DISABLE_COPY(BlockFileLock)

    QString m_path;
    int m_fd = -1;
    bool m_locked = false;
};
