#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/primaryprobe.h"
#include "common/singleinstance/uniqueapplication.h"
#include "common/singleinstance/uniqueapplicationprivate.h"
#include "instancehelper.h"

Q_DECLARE_METATYPE(BlockIdentity)

// This test process is itself a primary instance (see main at the end), so that signals can be
// counted with QSignalSpy; helper processes play the later instances, and the scenarios that
// need a primary of their own (killed, replaced, racing) run entirely between helpers.

namespace
{

const char *const TestAppName = "uniqueapp-test";
// PerUser | IgnoreAppPath: the helpers can then share a block name with this process.
const UniqueApplication::Mode SharedMode =
    UniqueApplication::PerUser | UniqueApplication::IgnoreAppPath;
constexpr int ShortPause = 300;
constexpr int MiB = 1024 * 1024;
const char *const InconsistentWarning =
    "UniqueApplication: Shared memory block has been in an inconsistent state from more than "
    "5s. Assuming primary instance failure.";

UniqueApplication *guard()
{
    return static_cast<UniqueApplication *>(QCoreApplication::instance());
}

QByteArray patternMessage(int size)
{
    QByteArray message(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        message[i] = char((i * 131 + 7) & 0xFF);
    return message;
}

// The wire format written down independently of the guard's own encoder.
QByteArray frameHeader(quint64 length)
{
    QByteArray header(8, Qt::Uninitialized);
    qToBigEndian(length, header.data());
    return header;
}

QByteArray initBody(const QByteArray &name, quint8 kind, quint32 id, int checksumDelta = 0)
{
    QByteArray body(4, Qt::Uninitialized);
    qToBigEndian(quint32(name.size()), body.data());
    body += name;
    body += char(kind);
    QByteArray idBytes(4, Qt::Uninitialized);
    qToBigEndian(id, idBytes.data());
    body += idBytes;
    const quint16 checksum =
        quint16(qChecksum(body.constData(), uint(body.size())) + checksumDelta);
    QByteArray checksumBytes(2, Qt::Uninitialized);
    qToBigEndian(checksum, checksumBytes.data());
    return body + checksumBytes;
}

QByteArray frame(const QByteArray &body)
{
    return frameHeader(quint64(body.size())) + body;
}

QString ownBlockName()
{
    return UniqueApplicationPrivate::computeBlockName(
        UniqueApplicationPrivate::applicationIdentity(guard()->extraHashData()), SharedMode);
}

// Arguments for a helper that shares this process's block, i.e. a later instance of it.
QStringList laterInstanceArguments()
{
    return {QStringLiteral("--app-name"), QLatin1String(TestAppName),
            QStringLiteral("--mode"),     QString::number(int(SharedMode)),
            QStringLiteral("--extra"),    guard()->extraHashData().value(0),
            QStringLiteral("--timeout"),  QString::number(HelperTimeout)};
}

bool readBlock(QSharedMemory &memory, InstanceBlock *copy)
{
    if (!memory.lock())
        return false;
    std::memcpy(copy, memory.constData(), sizeof(InstanceBlock));
    memory.unlock();
    return true;
}

bool writeBlock(QSharedMemory &memory, const InstanceBlock &record)
{
    if (!memory.lock())
        return false;
    std::memcpy(memory.data(), &record, sizeof(InstanceBlock));
    memory.unlock();
    return true;
}

InstanceBlock primaryRecord(qint64 pid)
{
    InstanceBlock record{};
    record.primary = 1;
    record.primaryPid = pid;
    qstrncpy(record.primaryUser, "someone", InstanceBlock::UserFieldSize);
    record.checksum = UniqueApplicationPrivate::computeChecksum(record);
    return record;
}

// The block of a stand-in primary, under a fresh group name that it writes to *extra. A segment's
// key comes from its key file's inode, which the file system hands out again once a file is
// deleted: a segment whose key file another test removed while its holder still runs can hold
// this key already, and then another name gets another file.
std::unique_ptr<QSharedMemory> createStandInBlock(const char *prefix, QString *extra)
{
    constexpr int Attempts = 8;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        *extra = uniqueText(prefix);
        auto memory = std::make_unique<QSharedMemory>(groupBlockName(*extra));
        if (memory->create(sizeof(InstanceBlock)))
            return memory;
        if (memory->error() != QSharedMemory::AlreadyExists) {
            qWarning() << "Stand-in block:" << memory->errorString();
            return nullptr;
        }
    }
    return nullptr;
}
// A raw client of this process's server.
class Stranger
{
public:
    Stranger() { m_socket.connectToServer(ownBlockName()); }

    bool connected() { return m_socket.waitForConnected(Wait); }
    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    bool waitForAcks(int expected)
    {
        return Helper::waitUntil([&] { return m_socket.bytesAvailable() >= expected; });
    }
    bool waitForClose()
    {
        return Helper::waitUntil(
            [&] { return m_socket.state() == QLocalSocket::UnconnectedState; });
    }
    QLocalSocket &socket() { return m_socket; }

private:
    QLocalSocket m_socket;
};

} // namespace

class TstUniqueApplication : public QObject
{
    Q_OBJECT

private slots:
    void blockNameRules_data();
    void blockNameRules();
    void blockNameShape();
    void blockNameMixesInputsInOrder();
    void initBodyWireFormat();
    void userNameRule_data();
    void userNameRule();
    void currentUserNameComesFromPasswordDatabase();
    void primaryGoneRule_data();
    void primaryGoneRule();
    void processStateOfInvalidIds_data();
    void processStateOfInvalidIds();
    void processStateOfLiveAndDeadProcesses();
    void serverState();

    void thisProcessIsPrimary();
    void secondStartExitsAndIsAnnounced();
    void secondaryMessageArrives_data();
    void secondaryMessageArrives();
    void sendFromPrimaryReturnsFalse();
    void timedOutSendStartsAfreshNextTime();
    void strangersAreClosedSilently_data();
    void strangersAreClosedSilently();
    void initKindDecidesAnnouncement_data();
    void initKindDecidesAnnouncement();
    void shortHeaderWaitsForTheRest();
    void framesSentAtOnceAreTakenOneByOne();

    void simultaneousStarts_data();
    void simultaneousStarts();
    void primaryClearsItsRecordOnExit();
    void replacedPrimaryLeavesSuccessorsRecord();
    void killedPrimaryIsReplaced();
    void reusedProcessIdIsNotAPrimary();
    void lockOfKilledProcessIsReleased();
    void inconsistentBlockIsTakenOver();
};

void TstUniqueApplication::blockNameRules_data()
{
    QTest::addColumn<BlockIdentity>("first");
    QTest::addColumn<BlockIdentity>("second");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("same");

    BlockIdentity base;
    base.applicationName = QStringLiteral("InspectionConsole");
    base.organizationName = QStringLiteral("Station");
    base.organizationDomain = QStringLiteral("station.example");
    base.applicationVersion = QStringLiteral("1.0.0");
    base.applicationFilePath = QStringLiteral("/opt/Console/bin/inspection-console");
    base.userName = QStringLiteral("alice");

    const int perUser = UniqueApplication::PerUser;
    const int ignoreVersion = UniqueApplication::IgnoreAppVersion;
    const int ignorePath = UniqueApplication::IgnoreAppPath;

    BlockIdentity version = base;
    version.applicationVersion = QStringLiteral("1.0.1");
    BlockIdentity path = base;
    path.applicationFilePath = QStringLiteral("/opt/Console2/bin/inspection-console");
    BlockIdentity pathCase = base;
    pathCase.applicationFilePath = QStringLiteral("/OPT/console/BIN/Inspection-Console");
    BlockIdentity user = base;
    user.userName = QStringLiteral("bob");
    BlockIdentity extra = base;
    extra.extraHashData = QStringList(QStringLiteral("second"));
    BlockIdentity appName = base;
    appName.applicationName = QStringLiteral("OtherConsole");

    QTest::newRow("identical") << base << base << perUser << true;
    QTest::newRow("versionChanged") << base << version << perUser << false;
    QTest::newRow("versionChangedIgnored") << base << version << (perUser | ignoreVersion) << true;
    QTest::newRow("pathChanged") << base << path << perUser << false;
    QTest::newRow("pathChangedIgnored") << base << path << (perUser | ignorePath) << true;
    QTest::newRow("pathLetterCase") << base << pathCase << perUser << true;
    QTest::newRow("otherUser") << base << user << perUser << false;
    QTest::newRow("otherUserSystemWide")
        << base << user << int(UniqueApplication::SystemWide) << true;
    QTest::newRow("otherUserNoFlags") << base << user << 0 << true;
    QTest::newRow("extraData") << base << extra << perUser << false;
    QTest::newRow("applicationName") << base << appName << perUser << false;
}

void TstUniqueApplication::blockNameRules()
{
    QFETCH(BlockIdentity, first);
    QFETCH(BlockIdentity, second);
    QFETCH(int, mode);
    QFETCH(bool, same);

    const QString a =
        UniqueApplicationPrivate::computeBlockName(first, UniqueApplication::Mode(mode));
    const QString b =
        UniqueApplicationPrivate::computeBlockName(second, UniqueApplication::Mode(mode));
    QCOMPARE(a == b, same);
}

void TstUniqueApplication::blockNameShape()
{
    // Enough different inputs that some digest contains a "/" in Base64.
    for (int i = 0; i < 64; ++i) {
        BlockIdentity identity;
        identity.applicationName = QString::number(i);
        const QString name =
            UniqueApplicationPrivate::computeBlockName(identity, UniqueApplication::PerUser);
        QCOMPARE(name.size(), 44);
        QVERIFY2(!name.contains(QLatin1Char('/')), qPrintable(name));
        QVERIFY(name.endsWith(QLatin1Char('=')));
    }
}

void TstUniqueApplication::blockNameMixesInputsInOrder()
{
    BlockIdentity identity;
    identity.applicationName = QStringLiteral("App");
    identity.organizationName = QStringLiteral("Org");
    identity.organizationDomain = QStringLiteral("org.example");
    identity.extraHashData = QStringList{QStringLiteral("x"), QStringLiteral("y")};
    identity.applicationVersion = QStringLiteral("2.1");
    identity.applicationFilePath = QStringLiteral("/Usr/Bin/App");
    identity.userName = QStringLiteral("Ünïcode");

    const QByteArray input = QByteArray("UniqueApplication") + "App" + "Org" + "org.example" +
                             "xy" + "2.1" + "/usr/bin/app" + QStringLiteral("Ünïcode").toUtf8();
    const QByteArray expected =
        QCryptographicHash::hash(input, QCryptographicHash::Sha256).toBase64().replace('/', '_');
    QCOMPARE(UniqueApplicationPrivate::computeBlockName(identity, UniqueApplication::PerUser),
             QString::fromLatin1(expected));
}

void TstUniqueApplication::initBodyWireFormat()
{
    const QString name = ownBlockName();
    const QByteArray body = UniqueApplicationPrivate::encodeInitBody(name, 2, 7);
    QCOMPARE(body, initBody(name.toLatin1(), 2, 7));
    QCOMPARE(body.size(), 55);

    quint8 kind = 0;
    quint32 id = 0;
    QVERIFY(UniqueApplicationPrivate::decodeInitBody(body, name, &kind, &id));
    QCOMPARE(kind, quint8(2));
    QCOMPARE(id, quint32(7));
}

void TstUniqueApplication::userNameRule_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("systemAnswers") << "alice"
                                   << "bob"
                                   << "alice";
    QTest::newRow("systemSilent") << ""
                                  << "bob"
                                  << "bob";
    QTest::newRow("bothSilent") << ""
                                << ""
                                << "";
    QTest::newRow("noEnvironment") << "alice"
                                   << ""
                                   << "alice";
}

void TstUniqueApplication::userNameRule()
{
    QFETCH(QString, system);
    QFETCH(QString, environment);
    QFETCH(QString, expected);
    QCOMPARE(PlatformUser::chooseUserName(system, environment), expected);
}

void TstUniqueApplication::currentUserNameComesFromPasswordDatabase()
{
    const passwd *entry = getpwuid(geteuid());
    QVERIFY(entry);
    QCOMPARE(guard()->currentUserName(), QString::fromLocal8Bit(entry->pw_name));
}

void TstUniqueApplication::primaryGoneRule_data()
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

void TstUniqueApplication::primaryGoneRule()
{
    QFETCH(qint64, pid);
    QFETCH(int, process);
    QFETCH(int, server);
    QFETCH(bool, gone);
    QCOMPARE(PrimaryProbe::isPrimaryGone(pid, PrimaryProbe::ProcessState(process),
                                         PrimaryProbe::ServerState(server)),
             gone);
}

void TstUniqueApplication::processStateOfInvalidIds_data()
{
    QTest::addColumn<qint64>("pid");
    // kill(0) and kill(-1) would address process groups and report "alive".
    QTest::newRow("minusOne") << qint64(-1);
    QTest::newRow("zero") << qint64(0);
    QTest::newRow("negative") << qint64(-12345);
    QTest::newRow("beyondPidRange") << (qint64(1) << 40);
}

void TstUniqueApplication::processStateOfInvalidIds()
{
    QFETCH(qint64, pid);
    QCOMPARE(PrimaryProbe::processState(pid), PrimaryProbe::ProcessState::Gone);
}

void TstUniqueApplication::processStateOfLiveAndDeadProcesses()
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

void TstUniqueApplication::serverState()
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

void TstUniqueApplication::thisProcessIsPrimary()
{
    QVERIFY(guard()->isPrimaryInstance());
    QVERIFY(!guard()->isSecondaryInstance());
    QCOMPARE(guard()->instanceId(), quint32(0));
    QCOMPARE(guard()->primaryProcessId(), QCoreApplication::applicationPid());
    QCOMPARE(guard()->primaryUserName(), guard()->currentUserName());
    QCOMPARE(PrimaryProbe::serverState(ownBlockName()), PrimaryProbe::ServerState::Listening);
}

void TstUniqueApplication::secondStartExitsAndIsAnnounced()
{
    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    Helper later(laterInstanceArguments());
    QVERIFY2(later.waitForExit(), later.describe());
    QVERIFY2(later.exitedCleanly(), later.describe());
    QVERIFY2(later.lines().isEmpty(), later.describe()); // it never came out of the constructor
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, Wait);
    QTest::qWait(ShortPause);
    QCOMPARE(started.count(), 1);
    QCOMPARE(messages.count(), 0);
}

void TstUniqueApplication::secondaryMessageArrives_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mode");

    const int shared = int(SharedMode);
    const int notify = shared | UniqueApplication::NotifyOnSecondary;
    QTest::newRow("empty") << 0 << shared;
    QTest::newRow("small") << 100 << shared;
    QTest::newRow("oneMebibyte") << MiB << shared;
    // Connected at start-up already: the message goes over that connection.
    QTest::newRow("overStartupConnection") << 4096 << notify;
}

void TstUniqueApplication::secondaryMessageArrives()
{
    QFETCH(int, size);
    QFETCH(int, mode);

    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    QStringList arguments = laterInstanceArguments();
    arguments[3] = QString::number(mode);
    arguments << QStringLiteral("--allow-secondary") << QStringLiteral("--send")
              << QString::number(size) << QStringLiteral("--send-timeout")
              << QString::number(HelperTimeout);
    Helper secondary(arguments);
    QVERIFY2(secondary.waitForLineStartingWith(QStringLiteral("sent")), secondary.describe());
    QCOMPARE(secondary.lineStartingWith(QStringLiteral("sent")), QStringLiteral("sent true"));
    const QStringList said = secondary.lineStartingWith(QStringLiteral("secondary")).split(' ');
    QCOMPARE(said.size(), 3);
    QCOMPARE(said.at(2).toLongLong(), QCoreApplication::applicationPid());

    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(0).value<quint32>(), said.at(1).toUInt());
    QCOMPARE(messages.at(0).at(1).toByteArray(), patternMessage(size));
    // This primary was not asked to hear about secondaries.
    QCOMPARE(started.count(), 0);
    QVERIFY2(secondary.waitForExit(), secondary.describe());
    QVERIFY2(secondary.exitedCleanly(), secondary.describe());
}

void TstUniqueApplication::sendFromPrimaryReturnsFalse()
{
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    QVERIFY(!guard()->sendMessageToPrimary("to myself"));
    QTest::qWait(ShortPause);
    QCOMPARE(messages.count(), 0);

    const QString extra = uniqueText("selfsend");
    Helper primary(groupArguments(extra) << QStringLiteral("--send") << QStringLiteral("16"));
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("sent")), primary.describe());
    QVERIFY(!primary.lineStartingWith(QStringLiteral("primary")).isEmpty());
    QCOMPARE(primary.lineStartingWith(QStringLiteral("sent")), QStringLiteral("sent false"));
    QVERIFY(primary.lineStartingWith(QStringLiteral("message")).isEmpty());
}

void TstUniqueApplication::timedOutSendStartsAfreshNextTime()
{
    // A stand-in primary that never answers its first connection and answers the next one
    // properly. A late acknowledgement on the first must not be taken for a new frame's.
    constexpr int SendTimeout = 1000;
    QString extra;
    const std::unique_ptr<QSharedMemory> block = createStandInBlock("mute", &extra);
    QVERIFY(block);
    QSharedMemory &memory = *block;
    QVERIFY(writeBlock(memory, primaryRecord(QCoreApplication::applicationPid())));
    QLocalServer server;
    QVERIFY(server.listen(groupBlockName(extra)));

    // The guard's own probe connects and leaves without a word; the first connection that
    // speaks is the one left unanswered.
    QLocalSocket *mute = nullptr;
    QByteArray buffer;
    qint64 pending = -1;
    QByteArrayList bodies;
    connect(&server, &QLocalServer::newConnection, &server, [&] {
        QLocalSocket *socket = server.nextPendingConnection();
        connect(socket, &QLocalSocket::readyRead, socket, [&, socket] {
            if (!mute)
                mute = socket;
            if (socket == mute) {
                socket->readAll();
                return;
            }
            buffer += socket->readAll();
            for (;;) {
                if (pending < 0 && buffer.size() >= 8) {
                    pending = qint64(qFromBigEndian<quint64>(buffer.constData()));
                    buffer.remove(0, 8);
                } else if (pending >= 0 && buffer.size() >= pending) {
                    bodies << buffer.left(int(pending));
                    buffer.remove(0, int(pending));
                    pending = -1;
                } else {
                    break;
                }
                socket->putChar('\n');
            }
        });
    });

    Helper secondary(groupArguments(extra)
                     << QStringLiteral("--allow-secondary") << QStringLiteral("--send")
                     << QStringLiteral("64") << QStringLiteral("--send-count")
                     << QStringLiteral("2") << QStringLiteral("--send-timeout")
                     << QString::number(SendTimeout));
    QVERIFY2(secondary.waitForExit(), secondary.describe());
    QVERIFY2(secondary.exitedCleanly(), secondary.describe());
    QCOMPARE(secondary.lines().mid(1).join(QLatin1Char(',')),
             QStringLiteral("sent false,sent true"));
    QCOMPARE(bodies.size(), 2);
    quint8 kind = 0;
    quint32 id = 0;
    QVERIFY(
        UniqueApplicationPrivate::decodeInitBody(bodies.at(0), groupBlockName(extra), &kind, &id));
    QCOMPARE(kind, quint8(UniqueApplicationPrivate::InitReconnect));
    QCOMPARE(id, quint32(1));
    QCOMPARE(bodies.at(1), patternMessage(64));
}

void TstUniqueApplication::strangersAreClosedSilently_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("closeAtOnce");

    const QByteArray name = ownBlockName().toLatin1();
    QByteArray otherName = name;
    otherName[0] = otherName.at(0) == 'A' ? 'B' : 'A';
    QByteArray random(64, Qt::Uninitialized);
    QRandomGenerator generator(20240501);
    for (char &byte : random)
        byte = char(generator.bounded(256));
    const QByteArray valid = initBody(name, UniqueApplicationPrivate::InitReconnect, 0);

    QTest::newRow("wrongBlockName") << frame(initBody(otherName, 1, 0)) << false;
    QTest::newRow("shorterBlockName") << frame(initBody(name.left(20), 1, 0)) << false;
    QTest::newRow("badChecksum") << frame(initBody(name, 1, 0, 1)) << false;
    QTest::newRow("trailingBytesInBody") << frame(initBody(name, 1, 0) + "xx") << false;
    QTest::newRow("bodyShorterThanItsFields") << frame(QByteArray(6, 'z')) << false;
    QTest::newRow("randomBytes") << random << false;
    QTest::newRow("hugeInitLength")
        << frameHeader(quint64(1) << 40) + QByteArray(1000, 'q') << false;
    QTest::newRow("hugeMessageLength")
        << frame(valid) + frameHeader(quint64(1) << 40) + QByteArray(1000, 'q') << false;
    // Five seconds each: the primary waits that long for a stalled frame.
    QTest::newRow("headerShorterThanEightThenSilence") << QByteArray("\0\0\0", 3) << false;
    QTest::newRow("declaredLongerThanSent") << frameHeader(55) + QByteArray(20, 'q') << false;
    QTest::newRow("messageDeclaredLongerThanSent")
        << frame(valid) + frameHeader(MiB) + QByteArray(1000, 'q') << false;
    // Closed by the stranger before the primary read anything: the leftovers of an init frame
    // must not turn into a message.
    QTest::newRow("garbageInitThenClose") << frame(QByteArray(40, 'g')) << true;
    QTest::newRow("halfInitThenClose") << frameHeader(55) + QByteArray(30, 'h') << true;
    QTest::newRow("connectAndDisconnect") << QByteArray() << true;
}

void TstUniqueApplication::strangersAreClosedSilently()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, closeAtOnce);

    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    {
        Stranger stranger;
        QVERIFY(stranger.connected());
        stranger.send(bytes);
        if (closeAtOnce) {
            stranger.socket().disconnectFromServer();
            QTest::qWait(ShortPause);
        } else {
            QVERIFY2(stranger.waitForClose(), "the primary kept a stranger's connection open");
        }
        // Acknowledgements for the well-formed frames at most, never for the rest.
        QVERIFY(stranger.socket().bytesAvailable() <= 3);
    }
    QTest::qWait(ShortPause);
    QCOMPARE(started.count(), 0);
    QCOMPARE(messages.count(), 0);

    // The primary is still there for a proper instance.
    Stranger proper;
    QVERIFY(proper.connected());
    proper.send(frameHeader(55));
    QVERIFY(proper.waitForAcks(1));
    proper.send(initBody(ownBlockName().toLatin1(), UniqueApplicationPrivate::InitNewInstance, 0));
    QVERIFY(proper.waitForAcks(2));
    QCOMPARE(proper.socket().readAll(), QByteArray("\n\n"));
    QCOMPARE(started.count(), 1);
    QCOMPARE(messages.count(), 0);
}

void TstUniqueApplication::initKindDecidesAnnouncement_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("announced");

    QTest::newRow("newInstance") << int(UniqueApplicationPrivate::InitNewInstance) << 1;
    // This primary was not asked to hear about secondaries.
    QTest::newRow("secondaryInstance") << int(UniqueApplicationPrivate::InitSecondaryInstance) << 0;
    QTest::newRow("reconnect") << int(UniqueApplicationPrivate::InitReconnect) << 0;
    QTest::newRow("unknownKind") << 9 << 0;
}

void TstUniqueApplication::initKindDecidesAnnouncement()
{
    QFETCH(int, kind);
    QFETCH(int, announced);

    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    Stranger peer;
    QVERIFY(peer.connected());
    peer.send(frame(initBody(ownBlockName().toLatin1(), quint8(kind), 5)));
    QVERIFY(peer.waitForAcks(2));
    QCOMPARE(started.count(), announced);

    // Whatever the kind, the connection now carries messages.
    peer.send(frame("after init"));
    QVERIFY(peer.waitForAcks(4));
    QCOMPARE(peer.socket().readAll(), QByteArray(4, '\n'));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(0).value<quint32>(), quint32(5));
    QCOMPARE(messages.at(0).at(1).toByteArray(), QByteArray("after init"));
    QCOMPARE(started.count(), announced);
    QCOMPARE(peer.socket().state(), QLocalSocket::ConnectedState);
}

void TstUniqueApplication::shortHeaderWaitsForTheRest()
{
    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    const QByteArray header = frameHeader(55);
    Stranger slow;
    QVERIFY(slow.connected());
    slow.send(header.left(5));
    QTest::qWait(ShortPause);
    QCOMPARE(slow.socket().state(), QLocalSocket::ConnectedState);
    QCOMPARE(slow.socket().bytesAvailable(), qint64(0));

    slow.send(header.mid(5));
    QVERIFY(slow.waitForAcks(1));
    slow.send(initBody(ownBlockName().toLatin1(), UniqueApplicationPrivate::InitNewInstance, 0));
    QVERIFY(slow.waitForAcks(2));
    QCOMPARE(started.count(), 1);
}

void TstUniqueApplication::framesSentAtOnceAreTakenOneByOne()
{
    QSignalSpy started(guard(), &UniqueApplication::instanceStarted);
    QSignalSpy messages(guard(), &UniqueApplication::receivedMessage);
    const QByteArray first = "first message";
    const QByteArray second = patternMessage(3000);

    Stranger eager;
    QVERIFY(eager.connected());
    eager.send(
        frame(initBody(ownBlockName().toLatin1(), UniqueApplicationPrivate::InitNewInstance, 42)) +
        frame(first) + frame(second));
    QVERIFY(eager.waitForAcks(6));
    QCOMPARE(eager.socket().readAll(), QByteArray(6, '\n'));
    QCOMPARE(started.count(), 1);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.at(0).at(0).value<quint32>(), quint32(42));
    QCOMPARE(messages.at(0).at(1).toByteArray(), first);
    QCOMPARE(messages.at(1).at(1).toByteArray(), second);
    QCOMPARE(eager.socket().state(), QLocalSocket::ConnectedState);
}

void TstUniqueApplication::simultaneousStarts_data()
{
    QTest::addColumn<bool>("allowSecondary");
    QTest::addColumn<bool>("notify");

    QTest::newRow("refused") << false << false;
    QTest::newRow("secondaries") << true << false;
    QTest::newRow("secondariesAnnounced") << true << true;
}

void TstUniqueApplication::simultaneousStarts()
{
    QFETCH(bool, allowSecondary);
    QFETCH(bool, notify);
    constexpr int Starts = 8;

    const QString extra = uniqueText("race");
    UniqueApplication::Mode mode = UniqueApplication::PerUser | UniqueApplication::IgnoreAppPath;
    if (notify)
        mode |= UniqueApplication::NotifyOnSecondary;
    QStringList arguments = groupArguments(extra, mode);
    if (allowSecondary)
        arguments << QStringLiteral("--allow-secondary");

    std::vector<std::unique_ptr<Helper>> helpers;
    for (int i = 0; i < Starts; ++i)
        helpers.push_back(std::make_unique<Helper>(arguments));

    Helper *primary = nullptr;
    QList<quint32> ids;
    for (const auto &helper : helpers) {
        QVERIFY2(Helper::waitUntil([&] { return !helper->lines().isEmpty() || helper->ended(); }),
                 helper->describe());
        const QString said = helper->lines().value(0);
        if (said.startsWith(QLatin1String("primary"))) {
            QVERIFY2(!primary, "two primaries");
            primary = helper.get();
            continue;
        }
        QVERIFY2(helper->waitForExit(), helper->describe());
        QVERIFY2(helper->exitedCleanly(), helper->describe());
        if (allowSecondary) {
            QVERIFY2(said.startsWith(QLatin1String("secondary ")), helper->describe());
            ids << said.split(' ').at(1).toUInt();
        } else {
            QVERIFY2(said.isEmpty(), helper->describe());
        }
    }
    QVERIFY(primary);

    const int announced = !allowSecondary || notify ? Starts - 1 : 0;
    QVERIFY2(primary->waitForCount(QStringLiteral("instanceStarted"), announced),
             primary->describe());
    QTest::qWait(ShortPause);
    QCOMPARE(primary->count(QStringLiteral("instanceStarted")), announced);

    if (!allowSecondary)
        return;
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids, (QList<quint32>{1, 2, 3, 4, 5, 6, 7}));
    // Ids go on counting after the earlier secondaries have ended.
    Helper later(arguments);
    QVERIFY2(later.waitForExit(), later.describe());
    QCOMPARE(later.lines().value(0).split(' ').value(1), QStringLiteral("8"));
}

void TstUniqueApplication::primaryClearsItsRecordOnExit()
{
    const QString extra = uniqueText("exit");
    const QStringList arguments = groupArguments(extra);
    Helper primary(arguments);
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());
    {
        Helper secondary(QStringList(arguments) << QStringLiteral("--allow-secondary"));
        QVERIFY2(secondary.waitForExit(), secondary.describe());
        QVERIFY2(secondary.exitedCleanly(), secondary.describe());
    }
    QSharedMemory memory(groupBlockName(extra));
    QVERIFY2(memory.attach(), qPrintable(memory.errorString()));

    primary.quit();
    QVERIFY2(primary.waitForExit(), primary.describe());
    QVERIFY2(primary.exitedCleanly(), primary.describe());

    InstanceBlock left{};
    QVERIFY(readBlock(memory, &left));
    QCOMPARE(left.primary, quint8(0));
    QCOMPARE(left.primaryPid, qint64(-1));
    QCOMPARE(left.primaryUser[0], '\0');
    QCOMPARE(left.secondaryCount, quint32(1));
    QCOMPARE(left.checksum, UniqueApplicationPrivate::computeChecksum(left));
    QVERIFY(!QFile::exists(PrimaryProbe::serverPath(groupBlockName(extra))));
}

void TstUniqueApplication::replacedPrimaryLeavesSuccessorsRecord()
{
    const QString extra = uniqueText("successor");
    Helper primary(groupArguments(extra));
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());

    // As if another instance had found this primary unreachable and taken its place.
    QSharedMemory memory(groupBlockName(extra));
    QVERIFY2(memory.attach(), qPrintable(memory.errorString()));
    const InstanceBlock successor = primaryRecord(QCoreApplication::applicationPid());
    QVERIFY(writeBlock(memory, successor));

    primary.quit();
    QVERIFY2(primary.waitForExit(), primary.describe());
    QVERIFY2(primary.exitedCleanly(), primary.describe());
    InstanceBlock left{};
    QVERIFY(readBlock(memory, &left));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&left), sizeof(left)),
             QByteArray(reinterpret_cast<const char *>(&successor), sizeof(successor)));
}

void TstUniqueApplication::killedPrimaryIsReplaced()
{
    const QString extra = uniqueText("killed");
    const QStringList arguments = groupArguments(extra);
    const QStringList secondaryArguments = QStringList(arguments)
                                           << QStringLiteral("--allow-secondary");

    auto first = std::make_unique<Helper>(arguments);
    QVERIFY2(first->waitForLineStartingWith(QStringLiteral("primary")), first->describe());
    const qint64 firstPid = first->pid();
    {
        Helper secondary(secondaryArguments);
        QVERIFY2(secondary.waitForExit(), secondary.describe());
        QCOMPARE(secondary.lines().value(0), QStringLiteral("secondary 1 %1").arg(firstPid));
    }

    // Keep the segment attached so that what the killed primary left behind stays in place.
    QSharedMemory memory(groupBlockName(extra));
    QVERIFY2(memory.attach(), qPrintable(memory.errorString()));
    first->process().kill();
    QVERIFY(first->waitForExit());
    first.reset();

    InstanceBlock left{};
    QVERIFY(readBlock(memory, &left));
    QCOMPARE(left.primary, quint8(1));
    QCOMPARE(left.primaryPid, firstPid);
    QVERIFY(QFile::exists(PrimaryProbe::serverPath(groupBlockName(extra))));

    Helper next(arguments);
    QVERIFY2(next.waitForLineStartingWith(QStringLiteral("primary")), next.describe());
    QCOMPARE(next.lineStartingWith(QStringLiteral("primary")),
             QStringLiteral("primary %1").arg(next.pid()));
    QVERIFY2(!next.errors().contains("inconsistent"), next.describe());

    InstanceBlock now{};
    QVERIFY(readBlock(memory, &now));
    QCOMPARE(now.primaryPid, next.pid());
    QCOMPARE(now.secondaryCount, quint32(1));

    // The new primary is reachable, and secondary ids are not handed out twice.
    Helper refused(arguments);
    QVERIFY2(refused.waitForExit(), refused.describe());
    QVERIFY2(refused.exitedCleanly(), refused.describe());
    QVERIFY2(next.waitForCount(QStringLiteral("instanceStarted"), 1), next.describe());
    Helper secondary(secondaryArguments);
    QVERIFY2(secondary.waitForExit(), secondary.describe());
    QCOMPARE(secondary.lines().value(0), QStringLiteral("secondary 2 %1").arg(next.pid()));
}

void TstUniqueApplication::reusedProcessIdIsNotAPrimary()
{
    // A record naming a live process (this one) that serves nothing under the block name: the
    // id of a killed primary now belongs to somebody else.
    QString extra;
    const std::unique_ptr<QSharedMemory> block = createStandInBlock("reused", &extra);
    QVERIFY(block);
    QSharedMemory &memory = *block;
    QVERIFY(writeBlock(memory, primaryRecord(QCoreApplication::applicationPid())));

    Helper next(groupArguments(extra));
    QVERIFY2(next.waitForLineStartingWith(QStringLiteral("primary")), next.describe());
    InstanceBlock now{};
    QVERIFY(readBlock(memory, &now));
    QCOMPARE(now.primary, quint8(1));
    QCOMPARE(now.primaryPid, next.pid());
}

void TstUniqueApplication::lockOfKilledProcessIsReleased()
{
    const QString extra = uniqueText("lock");
    const QStringList arguments = groupArguments(extra);
    Helper primary(arguments);
    QVERIFY2(primary.waitForLineStartingWith(QStringLiteral("primary")), primary.describe());

    auto holder = std::make_unique<Helper>(QStringList(arguments) << QStringLiteral("--hold-lock"));
    QVERIFY2(holder->waitForLineStartingWith(QStringLiteral("locked")), holder->describe());
    holder->process().kill();
    QVERIFY(holder->waitForExit());
    holder.reset();

    Helper later(arguments);
    QVERIFY2(later.waitForExit(), "a lock held by a killed process blocks later starts");
    QVERIFY2(later.exitedCleanly(), later.describe());
    QVERIFY2(primary.waitForCount(QStringLiteral("instanceStarted"), 1), primary.describe());
}

void TstUniqueApplication::inconsistentBlockIsTakenOver()
{
    QString extra;
    const std::unique_ptr<QSharedMemory> block = createStandInBlock("torn", &extra);
    QVERIFY(block);
    QSharedMemory &memory = *block;
    InstanceBlock torn = primaryRecord(QCoreApplication::applicationPid());
    torn.checksum = quint16(torn.checksum + 1);
    QVERIFY(writeBlock(memory, torn));

    Helper next(groupArguments(extra));
    QVERIFY2(next.waitForLineStartingWith(QStringLiteral("primary")), next.describe());
    QVERIFY2(next.errors().contains(InconsistentWarning), next.describe());

    InstanceBlock now{};
    QVERIFY(readBlock(memory, &now));
    QCOMPARE(now.checksum, UniqueApplicationPrivate::computeChecksum(now));
    QCOMPARE(now.primaryPid, next.pid());
}

int main(int argc, char *argv[])
{
    // Sockets, lock files and the shared memory keys of every instance in these tests go to a
    // folder of their own, which goes away with the test; the helpers inherit it. As the
    // temporary folder it also holds what the tests reach by a bare name.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QCoreApplication::setApplicationName(QLatin1String(TestAppName));
    UniqueApplication app(argc, argv, false, SharedMode, HelperTimeout, uniqueText("tst"));
    TstUniqueApplication test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_uniqueapplication.moc"
