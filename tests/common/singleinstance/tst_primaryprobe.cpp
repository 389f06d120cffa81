#include <QLocalServer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/singleinstance/primaryprobe.h"
#include "instancehelper.h"

class TstPrimaryProbe : public QObject
{
    Q_OBJECT

private slots:
    void primaryGoneRule_data();
    void primaryGoneRule();
    void processStateOfInvalidIds_data();
    void processStateOfInvalidIds();
    void processStateOfLiveAndDeadProcesses();
    void serverState();
};

void TstPrimaryProbe::primaryGoneRule_data()
{
    using P = PrimaryProbe::ProcessState;
    using S = PrimaryProbe::ServerState;
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<int>("process");
    QTest::addColumn<int>("server");
    QTest::addColumn<bool>("gone");

    QTest::newRow("runningAndServing")
        << qint64(100) << int(P::Running) << int(S::Listening) << false;
    QTest::newRow("processEnded") << qint64(100) << int(P::Gone) << int(S::Unknown) << true;
    QTest::newRow("processEndedSocketLeft")
        << qint64(100) << int(P::Gone) << int(S::Absent) << true;
    QTest::newRow("idReusedByStranger") << qint64(100) << int(P::Running) << int(S::Absent) << true;
    QTest::newRow("cannotTellProcess")
        << qint64(100) << int(P::Unknown) << int(S::Listening) << false;
    QTest::newRow("cannotTellAnything")
        << qint64(100) << int(P::Unknown) << int(S::Unknown) << false;
    QTest::newRow("cannotTellServer") << qint64(100) << int(P::Running) << int(S::Unknown) << false;
    QTest::newRow("noProcessRecorded")
        << qint64(-1) << int(P::Running) << int(S::Listening) << true;
    QTest::newRow("zeroId") << qint64(0) << int(P::Running) << int(S::Listening) << true;
}

void TstPrimaryProbe::primaryGoneRule()
{
    QFETCH(qint64, pid);
    QFETCH(int, process);
    QFETCH(int, server);
    QFETCH(bool, gone);
    QCOMPARE(PrimaryProbe::isPrimaryGone(pid, PrimaryProbe::ProcessState(process),
                                         PrimaryProbe::ServerState(server)),
             gone);
}

void TstPrimaryProbe::processStateOfInvalidIds_data()
{
    QTest::addColumn<qint64>("pid");
    // kill(0) and kill(-1) would address process groups and report "alive".
    QTest::newRow("minusOne") << qint64(-1);
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("negative") << qint64(-12345);
    QTest::newRow("beyondPidRange") << (qint64(1) << 40);
}

void TstPrimaryProbe::processStateOfInvalidIds()
{
    QFETCH(qint64, pid);
    QCOMPARE(PrimaryProbe::processState(pid), PrimaryProbe::ProcessState::Gone);
}

void TstPrimaryProbe::processStateOfLiveAndDeadProcesses()
{
    QCOMPARE(PrimaryProbe::processState(QCoreApplication::applicationPid()),
             PrimaryProbe::ProcessState::Running);

    // A killed process whose parent has not reaped it yet still answers kill(pid, 0).
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    QVERIFY(child > 0);
    const bool zombie = Helper::waitUntil([&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
    });
    const PrimaryProbe::ProcessState whileZombie = PrimaryProbe::processState(child);
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(zombie);
    QCOMPARE(whileZombie, PrimaryProbe::ProcessState::Gone);
    QCOMPARE(PrimaryProbe::processState(child), PrimaryProbe::ProcessState::Gone);
}

void TstPrimaryProbe::serverState()
{
    QLocalServer server;
    const QString name = uniqueText("probe");
    QVERIFY(server.listen(name));
    QCOMPARE(PrimaryProbe::serverState(name), PrimaryProbe::ServerState::Listening);
    QCOMPARE(PrimaryProbe::serverPath(name), server.fullServerName());

    QCOMPARE(PrimaryProbe::serverState(uniqueText("nobody")), PrimaryProbe::ServerState::Absent);

    // The socket file of a killed server: bound, then closed without removing the file.
    const QString staleName = uniqueText("stale");
    const QByteArray path = QFile::encodeName(PrimaryProbe::serverPath(staleName));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, path.constData(), sizeof(address.sun_path));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    QCOMPARE(::listen(fd, 1), 0);
    ::close(fd);
    QVERIFY(QFile::exists(QFile::decodeName(path)));
    QCOMPARE(PrimaryProbe::serverState(staleName), PrimaryProbe::ServerState::Absent);
    QFile::remove(QFile::decodeName(path));
}

int main(int argc, char *argv[])
{
    // The servers of these tests, reached by a bare name, go to a temporary folder of their own.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    QCoreApplication app(argc, argv);
    TstPrimaryProbe test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_primaryprobe.moc"
