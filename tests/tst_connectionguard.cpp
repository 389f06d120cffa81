// The connection guard that every test program gets: a connection Qt cannot make fails the
// test function that made it. Each row runs one connection in a child run of this program.
#include <QProcess>
#include <QtTest>

namespace {

constexpr char ChildVariable[] = "CONNECTION_GUARD_CHILD";

// Stands for a class whose string signatures a caller may misspell.
class Source : public QObject
{
    Q_OBJECT

signals:
    void counted(int count);

public slots:
    void count(int) {}
};

} // namespace

class tst_ConnectionGuard : public QObject
{
    Q_OBJECT

private slots:
    void failsTheTestThatConnects_data();
    void failsTheTestThatConnects();
    void connectInChild_data() { failsTheTestThatConnects_data(); }
    void connectInChild();
};

void tst_ConnectionGuard::failsTheTestThatConnects_data()
{
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<bool>("fails");

    QTest::newRow("matching") << QByteArray(SIGNAL(counted(int))) << QByteArray(SLOT(count(int)))
                              << false;
    QTest::newRow("misspeltSlot") << QByteArray(SIGNAL(counted(int)))
                                  << QByteArray(SLOT(cuont(int))) << true;
    QTest::newRow("misspeltSignal") << QByteArray(SIGNAL(countd(int)))
                                    << QByteArray(SLOT(count(int))) << true;
    QTest::newRow("incompatibleArguments") << QByteArray(SIGNAL(counted(int)))
                                           << QByteArray(SLOT(count(QString))) << true;
}

void tst_ConnectionGuard::failsTheTestThatConnects()
{
    QFETCH(bool, fails);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(ChildVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("connectInChild:%1").arg(QLatin1String(QTest::currentDataTag()))});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QVERIFY2((child.exitCode() != 0) == fails, output.constData());
    QCOMPARE(output.contains("FAIL!") && output.contains("Connection warning"), fails);
}

void tst_ConnectionGuard::connectInChild()
{
    if (qEnvironmentVariableIsEmpty(ChildVariable))
        QSKIP("run by failsTheTestThatConnects in a child process");
    QFETCH(QByteArray, signal);
    QFETCH(QByteArray, slot);
    Source source;
    QObject::connect(&source, signal.constData(), &source, slot.constData());
}

QTEST_MAIN(tst_ConnectionGuard)
#include "tst_connectionguard.moc"
