#include <QLocalServer>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/singleinstance/runtimefolder.h"
#include "instancehelper.h"

namespace
{

const passwd *otherUser()
{
    return ::getuid() == 0 ? ::getpwnam("nobody") : nullptr;
}

// A folder with the mode given at creation, the umask notwithstanding; owned by the other user
// when asked.
bool makeFolder(const QString &path, mode_t mode, bool foreign = false)
{
    const QByteArray name = QFile::encodeName(path);
    return ::mkdir(name.constData(), mode) == 0 && ::chmod(name.constData(), mode) == 0 &&
           (!foreign || ::chown(name.constData(), otherUser()->pw_uid, otherUser()->pw_gid) == 0);
}

} // namespace

class TstRuntimeFolder : public QObject
{
    Q_OBJECT

private slots:
    void locate_data();
    void locate();
    void otherUserCannotStopTheConsole_data();
    void otherUserCannotStopTheConsole();
};

void TstRuntimeFolder::locate_data()
{
    QTest::addColumn<int>("runtimeMode"); // of $XDG_RUNTIME_DIR; 0: not set
    // What stands at the fallback's path: a folder of this mode, nothing (0), a link to a
    // private folder (-1) or a file (-2); owned by another user when foreign.
    QTest::addColumn<int>("inPlace");
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<QString>("expected"); // "runtime", "fallback" or "" (none, warned)
    QTest::newRow("runtimeDirPrivate") << 0700 << 0 << false << "runtime";
    QTest::newRow("runtimeDirOpen") << 0755 << 0 << false << "fallback";
    QTest::newRow("fallbackFromEarlierRun") << 0 << 0700 << false << "fallback";
    QTest::newRow("fallbackGroupMayEnter") << 0 << 0710 << false << "";
    QTest::newRow("fallbackOfAnother") << 0 << 0700 << true << "";
    QTest::newRow("fallbackIsALink") << 0 << -1 << false << "";
    QTest::newRow("fallbackIsAFile") << 0 << -2 << false << "";
}

void TstRuntimeFolder::locate()
{
    QFETCH(int, runtimeMode);
    QFETCH(int, inPlace);
    QFETCH(bool, foreign);
    QFETCH(QString, expected);
    if (foreign && !otherUser())
        QSKIP("needs root and a user 'nobody' to give the folder away");
    // This test process has no guard of its own: its variables are free to change.
    QTemporaryDir temporary;
    const QString runtime = temporary.filePath(QStringLiteral("run"));
    qputenv("TMPDIR", QFile::encodeName(temporary.path()));
    qputenv("XDG_RUNTIME_DIR", runtimeMode ? QFile::encodeName(runtime) : QByteArray());
    if (runtimeMode)
        QVERIFY(makeFolder(runtime, mode_t(runtimeMode)));
    const QString fallback = RuntimeFolder::temporaryFallback();
    if (inPlace > 0)
        QVERIFY(makeFolder(fallback, mode_t(inPlace), foreign));
    else if (inPlace == -1)
        QVERIFY(makeFolder(runtime, 0700) && QFile::link(runtime, fallback));
    else if (inPlace == -2)
        QVERIFY(QFile(fallback).open(QIODevice::WriteOnly));

    if (expected.isEmpty() || runtimeMode == 0755)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Refusing|instead")));
    const QString found = RuntimeFolder::locate();
    QCOMPARE(found, expected == QLatin1String("runtime")    ? runtime
                    : expected == QLatin1String("fallback") ? fallback
                                                            : QString());
    if (!found.isEmpty())
        QCOMPARE(RuntimeFolder::judge(found, ::geteuid()), RuntimeFolder::Verdict::Private);
}

void TstRuntimeFolder::otherUserCannotStopTheConsole_data()
{
    // What another user (here root, for a console run by nobody) has put in place first, and
    // what becomes of the console.
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("outcome");
    // Another user holds the lock file, listens on the socket path and has a segment at the
    // block's key, at the predictable names in the temporary folder.
    QTest::newRow("oldPlacesTaken") << "old places"
                                    << "primary";
    QTest::newRow("privateFolderTaken") << "folder"
                                        << "unguarded";
    QTest::newRow("segmentAtTheKey") << "segment"
                                     << "unguarded";
}

void TstRuntimeFolder::otherUserCannotStopTheConsole()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, outcome);
    const passwd *user = otherUser();
    if (!user)
        QSKIP("needs root and a user 'nobody' to run the console as another user");
    QTemporaryDir shared;
    QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
    const QString extra = uniqueText("other");
    const QString name = groupBlockName(extra, QString::fromLocal8Bit(user->pw_name));
    const QString folder = shared.filePath(QStringLiteral("runtime-%1").arg(user->pw_name));

    QLocalServer server;
    QSharedMemory segment;
    int lockFd = -1;
    int segmentId = -1;
    const auto cleanUp = qScopeGuard([&] {
        if (segmentId >= 0)
            ::shmctl(segmentId, IPC_RMID, nullptr);
        if (lockFd >= 0)
            ::close(lockFd);
    });
    if (obstacle == QLatin1String("old places")) {
        lockFd = ::open(QFile::encodeName(shared.filePath(name + ".lock")), O_RDWR | O_CREAT, 0644);
        QVERIFY(lockFd >= 0 && ::flock(lockFd, LOCK_EX) == 0);
        server.setSocketOptions(QLocalServer::WorldAccessOption);
        QVERIFY(server.listen(shared.filePath(name)));
        segment.setNativeKey(BlockName::keyFilePath(shared.path(), name));
        QVERIFY(segment.create(1));
    } else {
        // The folder is the console user's own when only the segment is foreign.
        QVERIFY(makeFolder(folder, 0700, obstacle == QLatin1String("segment")));
    }
    if (obstacle == QLatin1String("segment")) {
        const QByteArray key = QFile::encodeName(BlockName::keyFilePath(folder, name));
        QVERIFY(QFile(QFile::decodeName(key)).open(QIODevice::WriteOnly));
        QVERIFY(::chown(key.constData(), user->pw_uid, user->pw_gid) == 0);
        segmentId = ::shmget(::ftok(key.constData(), 'Q'), 1, IPC_CREAT | IPC_EXCL | 0600);
        QVERIFY(segmentId >= 0);
    }

    const QProcessEnvironment environment = withTemporaryFolder(shared.path());
    const QStringList asUser = {
        QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(user->pw_uid),
        QStringLiteral("--regid=%1").arg(user->pw_gid), QStringLiteral("--clear-groups")};
    Helper console(groupArguments(extra), environment, asUser);
    QVERIFY2(console.waitForLineStartingWith(outcome), console.describe());
    if (outcome == QLatin1String("primary")) {
        Helper later(groupArguments(extra), environment, asUser);
        QVERIFY2(later.waitForExit() && later.exitedCleanly(), later.describe());
        QVERIFY2(console.waitForCount(QStringLiteral("instanceStarted"), 1), console.describe());
    }
    console.quit();
    QVERIFY2(console.waitForExit() && console.exitedCleanly(), console.describe());
}

QTEST_GUILESS_MAIN(TstRuntimeFolder)
#include "tst_runtimefolder.moc"
