#include <QLocalServer>
#include <QLocalSocket>
#include <QSharedMemory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>

#include <pwd.h>
#include <unistd.h>

#include "common/singleinstance/blockname.h"
#include "common/singleinstance/instanceprotocol.h"
#include "common/singleinstance/primaryprobe.h"
#include "common/singleinstance/sharedblock.h"
#include "common/singleinstance/uniqueapplication.h"
#include "instancehelper.h"
#include "wireframes.h"

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

QString ownBlockName()
{
    return BlockName::compute(BlockName::applicationIdentity(guard()->extraHashData()), SharedMode);
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
    record.checksum = SharedBlock::computeChecksum(record);
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

} // namespace

class TstUniqueApplication : public QObject
{
    Q_OBJECT

private slots:
    void currentUserNameComesFromPasswordDatabase();

    void thisProcessIsPrimary();
    void secondStartExitsAndIsAnnounced();
    void secondaryMessageArrives_data();
    void secondaryMessageArrives();
    void sendFromPrimaryReturnsFalse();
    void timedOutSendStartsAfreshNextTime();

    void simultaneousStarts_data();
    void simultaneousStarts();
    void primaryClearsItsRecordOnExit();
    void replacedPrimaryLeavesSuccessorsRecord();
    void killedPrimaryIsReplaced();
    void reusedProcessIdIsNotAPrimary();
    void lockOfKilledProcessIsReleased();
    void inconsistentBlockIsTakenOver();
};

void TstUniqueApplication::currentUserNameComesFromPasswordDatabase()
{
    const passwd *entry = getpwuid(geteuid());
    QVERIFY(entry);
    QCOMPARE(guard()->currentUserName(), QString::fromLocal8Bit(entry->pw_name));
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
    QVERIFY(InstanceProtocol::decodeInitBody(bodies.at(0), groupBlockName(extra), &kind, &id));
    QCOMPARE(kind, quint8(InstanceProtocol::InitReconnect));
    QCOMPARE(id, quint32(1));
    QCOMPARE(bodies.at(1), patternMessage(64));
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
    QCOMPARE(left.checksum, SharedBlock::computeChecksum(left));
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
    QCOMPARE(now.checksum, SharedBlock::computeChecksum(now));
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
