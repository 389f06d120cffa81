#include <QDir>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "common/singleinstance/blockname.h"
#include "common/singleinstance/instanceprotocol.h"
#include "common/singleinstance/instanceserver.h"
#include "instancehelper.h"
#include "wireframes.h"

// One server for the whole run (see main at the end), not told to announce secondaries; raw
// clients play the later instances and the strangers.

namespace
{

constexpr int ShortPause = 300;
constexpr int MiB = 1024 * 1024;

InstanceServer *theServer = nullptr;

InstanceServer *server()
{
    return theServer;
}

QString ownBlockName()
{
    static const QString name = groupBlockName(uniqueText("server"));
    return name;
}

// A raw client of the server.
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

class TstInstanceServer : public QObject
{
    Q_OBJECT

private slots:
    void strangersAreClosedSilently_data();
    void strangersAreClosedSilently();
    void initKindDecidesAnnouncement_data();
    void initKindDecidesAnnouncement();
    void shortHeaderWaitsForTheRest();
    void framesSentAtOnceAreTakenOneByOne();
};

void TstInstanceServer::strangersAreClosedSilently_data()
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
    const QByteArray valid = initBody(name, InstanceProtocol::InitReconnect, 0);

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

void TstInstanceServer::strangersAreClosedSilently()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, closeAtOnce);

    QSignalSpy started(server(), &InstanceServer::instanceStarted);
    QSignalSpy messages(server(), &InstanceServer::receivedMessage);
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
    proper.send(initBody(ownBlockName().toLatin1(), InstanceProtocol::InitNewInstance, 0));
    QVERIFY(proper.waitForAcks(2));
    QCOMPARE(proper.socket().readAll(), QByteArray("\n\n"));
    QCOMPARE(started.count(), 1);
    QCOMPARE(messages.count(), 0);
}

void TstInstanceServer::initKindDecidesAnnouncement_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("announced");

    QTest::newRow("newInstance") << int(InstanceProtocol::InitNewInstance) << 1;
    // This primary was not asked to hear about secondaries.
    QTest::newRow("secondaryInstance") << int(InstanceProtocol::InitSecondaryInstance) << 0;
    QTest::newRow("reconnect") << int(InstanceProtocol::InitReconnect) << 0;
    QTest::newRow("unknownKind") << 9 << 0;
}

void TstInstanceServer::initKindDecidesAnnouncement()
{
    QFETCH(int, kind);
    QFETCH(int, announced);

    QSignalSpy started(server(), &InstanceServer::instanceStarted);
    QSignalSpy messages(server(), &InstanceServer::receivedMessage);
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

void TstInstanceServer::shortHeaderWaitsForTheRest()
{
    QSignalSpy started(server(), &InstanceServer::instanceStarted);
    const QByteArray header = frameHeader(55);
    Stranger slow;
    QVERIFY(slow.connected());
    slow.send(header.left(5));
    QTest::qWait(ShortPause);
    QCOMPARE(slow.socket().state(), QLocalSocket::ConnectedState);
    QCOMPARE(slow.socket().bytesAvailable(), qint64(0));

    slow.send(header.mid(5));
    QVERIFY(slow.waitForAcks(1));
    slow.send(initBody(ownBlockName().toLatin1(), InstanceProtocol::InitNewInstance, 0));
    QVERIFY(slow.waitForAcks(2));
    QCOMPARE(started.count(), 1);
}

void TstInstanceServer::framesSentAtOnceAreTakenOneByOne()
{
    QSignalSpy started(server(), &InstanceServer::instanceStarted);
    QSignalSpy messages(server(), &InstanceServer::receivedMessage);
    const QByteArray first = "first message";
    const QByteArray second = patternMessage(3000);

    Stranger eager;
    QVERIFY(eager.connected());
    eager.send(frame(initBody(ownBlockName().toLatin1(), InstanceProtocol::InitNewInstance, 42)) +
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

int main(int argc, char *argv[])
{
    // The server's socket goes to a folder of its own, which goes away with the test. As the
    // temporary folder it also holds what the tests reach by a bare name.
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    QCoreApplication app(argc, argv);
    InstanceServer instanceServer(ownBlockName(), false);
    const QString path = BlockName::serverPath(QDir::cleanPath(QDir::tempPath()), ownBlockName());
    if (!instanceServer.listen(path, false))
        return 1;
    theServer = &instanceServer;
    TstInstanceServer test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instanceserver.moc"
