#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "common/singleinstance/instanceprotocol.h"
#include "common/singleinstance/primaryprobe.h"
#include "instancehelper.h"

// The primary's socket against a flood of connections and against a cleaner of the temporary
// folder, with the primary and the later starts as real processes.

namespace
{

constexpr int FloodSize = 200;
// Below what the primary would need to hold the whole flood.
constexpr int PrimaryMaxFiles = 64;

// Opens FloodSize connections to the server at path and leaves them open in fds; each greets
// the primary first (header and body, each acknowledged) when a greeting is given. Returns how
// many greetings were acknowledged.
int flood(const QString &path, const QByteArray &greeting, std::vector<int> *fds)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
    const timeval timeout{5, 0};
    char header[8];
    qToBigEndian(quint64(greeting.size()), header);
    int greeted = 0;
    for (int i = 0; i < FloodSize; ++i) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        fds->push_back(fd);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
        char ack = 0;
        greeted += ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
                   !greeting.isEmpty() && ::write(fd, header, 8) == 8 && ::read(fd, &ack, 1) == 1 &&
                   ::write(fd, greeting.constData(), size_t(greeting.size())) == greeting.size() &&
                   ::read(fd, &ack, 1) == 1;
    }
    return greeted;
}

bool listening(const QString &path)
{
    return PrimaryProbe::serverState(path) == PrimaryProbe::ServerState::Listening;
}

} // namespace

class TstInstanceListener : public QObject
{
    Q_OBJECT

private slots:
    void floodKeepsTheSocket_data();
    void floodKeepsTheSocket();
    void deletedSocketFileIsListenedAgain_data();
    void deletedSocketFileIsListenedAgain();
};

void TstInstanceListener::floodKeepsTheSocket_data()
{
    QTest::addColumn<bool>("greet");
    QTest::addColumn<QString>("warning");
    // Fault: a failed accept closed the server and deleted its socket file, and the next start
    // became a second primary.
    QTest::newRow("silentConnections") << false << "without a greeting";
    QTest::newRow("greetedConnections") << true << "Refusing connections";
}

void TstInstanceListener::floodKeepsTheSocket()
{
    QFETCH(bool, greet);
    QFETCH(QString, warning);
    QTemporaryDir runtime; // the helpers' private folder
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    const QString extra = uniqueText("flood");
    const QString path = BlockName::serverPath(runtime.path(), groupBlockName(extra));
    Helper primary(groupArguments(extra)
                       << QStringLiteral("--max-files") << QString::number(PrimaryMaxFiles),
                   environment);
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());
    {
        std::vector<int> fds;
        const auto closeAll = qScopeGuard([&] {
            for (int fd : fds)
                ::close(fd);
        });
        const QByteArray greeting = InstanceProtocol::encodeInitBody(
            groupBlockName(extra), InstanceProtocol::InitReconnect, 0);
        QVERIFY(flood(path, greet ? greeting : QByteArray(), &fds) > 0 || !greet);
        QVERIFY2(listening(path), primary.describe());
        // At its limit the primary may refuse this start, but nobody takes its place.
        Helper later(groupArguments(extra), environment);
        QVERIFY2(later.waitForExit() && later.exitedCleanly(), later.describe());
    }
    Helper afterwards(groupArguments(extra), environment);
    QVERIFY2(afterwards.waitForExit() && afterwards.exitedCleanly(), afterwards.describe());
    QVERIFY2(primary.waitForCount(QStringLiteral("instanceStarted"), greet ? 1 : 2),
             primary.describe());
    QVERIFY2(primary.errors().contains(warning.toUtf8()), primary.describe());
}

void TstInstanceListener::deletedSocketFileIsListenedAgain_data()
{
    QTest::addColumn<bool>("wholeFolder");
    // Fault: a cleaner that deleted the socket file let a second primary start.
    QTest::newRow("socketFile") << false;
    QTest::newRow("wholeFolder") << true; // the block's key file and the lock file go too
}

void TstInstanceListener::deletedSocketFileIsListenedAgain()
{
    QFETCH(bool, wholeFolder);
    QTemporaryDir temporary;
    const QProcessEnvironment environment = withTemporaryFolder(temporary.path());
    const QString folder =
        temporary.filePath(QStringLiteral("runtime-") + PlatformUser::systemUserName());
    const QString extra = uniqueText("cleaned");
    const QString path = BlockName::serverPath(folder, groupBlockName(extra));

    Helper primary(groupArguments(extra), environment);
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());
    // The primary may be back in the folder before it is gone; then the folder stays.
    if (wholeFolder)
        QDir(folder).removeRecursively();
    else
        QVERIFY(QFile::remove(path));
    QVERIFY2(Helper::waitUntil([&] { return listening(path); }), primary.describe());

    Helper later(groupArguments(extra), environment);
    QVERIFY2(later.waitForExit() && later.exitedCleanly(), later.describe());
    QVERIFY2(primary.waitForCount(QStringLiteral("instanceStarted"), 1), primary.describe());
}

QTEST_GUILESS_MAIN(TstInstanceListener)
#include "tst_instancelistener.moc"
