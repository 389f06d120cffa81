#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "common/singleinstance/primaryprobe.h"
#include "instancehelper.h"

// The primary's socket against a flood of connections and against a cleaner of the temporary
// folder, with the primary and the later starts as real processes.

namespace
{

constexpr int FloodSize = 200;
// Below what the primary would need to hold the whole flood.
constexpr int PrimaryMaxFiles = 64;
constexpr int FloodTimeoutSeconds = 5;

// Connections to a local server held open, each greeting the primary first when asked to.
class Flood
{
public:
    Flood(const QString &path, const QByteArray &greeting)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path));
        const timeval timeout{FloodTimeoutSeconds, 0};
        for (int i = 0; i < FloodSize; ++i) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
            m_fds.push_back(fd);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0 &&
                !greeting.isEmpty())
                m_greeted += greet(fd, greeting) ? 1 : 0;
        }
    }
    ~Flood()
    {
        for (int fd : m_fds)
            ::close(fd);
    }
    int greeted() const { return m_greeted; }

private:
    // Header and body, each acknowledged.
    static bool greet(int fd, const QByteArray &body)
    {
        QByteArray header(8, Qt::Uninitialized);
        qToBigEndian(quint64(body.size()), header.data());
        char ack = 0;
        return ::write(fd, header.constData(), 8) == 8 && ::read(fd, &ack, 1) == 1 &&
               ::write(fd, body.constData(), size_t(body.size())) == body.size() &&
               ::read(fd, &ack, 1) == 1;
    }

    std::vector<int> m_fds;
    int m_greeted = 0;
};

QString socketPath(const QString &folder, const QString &extra)
{
    return UniqueApplicationPrivate::serverPath(folder, groupBlockName(extra));
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
    const QString extra = uniqueText("flood");
    const QString path = socketPath(qEnvironmentVariable("XDG_RUNTIME_DIR"), extra);
    Helper primary(groupArguments(extra)
                   << QStringLiteral("--max-files") << QString::number(PrimaryMaxFiles));
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());
    {
        const Flood flood(
            path, greet ? UniqueApplicationPrivate::encodeInitBody(
                              groupBlockName(extra), UniqueApplicationPrivate::InitReconnect, 0)
                        : QByteArray());
        QVERIFY(!greet || flood.greeted() > 0);
        QVERIFY2(listening(path), primary.describe());
        // With the descriptors used up it cannot answer, but nobody takes its place.
        Helper later(groupArguments(extra));
        QVERIFY2(later.waitForExit() && later.exitedCleanly(), later.describe());
    }
    Helper afterwards(groupArguments(extra));
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
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporary.path());
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const QString folder =
        temporary.filePath(QStringLiteral("runtime-") + PlatformUser::systemUserName());
    const QString extra = uniqueText("cleaned");
    const QString path = socketPath(folder, extra);

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

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The helpers' private folder, gone with the test.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    TstInstanceListener test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelistener.moc"
