#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "common/singleinstance/blockfilelock.h"

namespace
{

// Whether somebody holds the lock, asked without waiting.
bool heldElsewhere(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

QString uniqueName()
{
    return QStringLiteral("tst_blockfilelock_%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate());
}

} // namespace

class tst_BlockFileLock : public QObject
{
    Q_OBJECT

private slots:
    void oneHolderAtATime();
    void releasedWhenTheHolderIsKilled();
    void unusableLockFileIsNoObstacle();
};

void tst_BlockFileLock::oneHolderAtATime()
{
    const QString name = uniqueName();
    BlockFileLock first(name);
    BlockFileLock second(name);
    QVERIFY(first.lock());
    QVERIFY(heldElsewhere(BlockFileLock::lockFilePath(name)));

    std::atomic<bool> secondHolds{false};
    std::thread waiter([&] {
        second.lock();
        secondHolds = true;
    });
    QTest::qWait(100);
    QVERIFY(!secondHolds);
    first.unlock();
    QTRY_VERIFY(secondHolds);
    waiter.join();
    second.unlock();
    QVERIFY(!heldElsewhere(BlockFileLock::lockFilePath(name)));
    QFile::remove(BlockFileLock::lockFilePath(name));
}

void tst_BlockFileLock::releasedWhenTheHolderIsKilled()
{
    const QString name = uniqueName();
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        BlockFileLock holder(name);
        const char byte = holder.lock() ? 'y' : 'n';
        (void)::write(ready[1], &byte, 1);
        for (;;)
            ::pause();
    }
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    QCOMPARE(byte, 'y');
    QVERIFY(heldElsewhere(BlockFileLock::lockFilePath(name)));

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QVERIFY(!heldElsewhere(BlockFileLock::lockFilePath(name)));
    BlockFileLock next(name);
    QVERIFY(next.lock());
    ::close(ready[0]);
    ::close(ready[1]);
    QFile::remove(BlockFileLock::lockFilePath(name));
}

void tst_BlockFileLock::unusableLockFileIsNoObstacle()
{
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/nonexistent-folder/for-the-lock");
    BlockFileLock lock(uniqueName());
    if (saved.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", saved);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("unusable")));
    QVERIFY(!lock.lock());
    QVERIFY(!lock.isLocked());
    lock.unlock();
}

QTEST_GUILESS_MAIN(tst_BlockFileLock)
#include "tst_blockfilelock.moc"
