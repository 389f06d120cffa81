// Every test program fails the test function that makes a connection Qt cannot make
// (connectionguard.cpp). Each row connects in a child run of this program, limited to that row.
#include <QProcess>
#include <QtTest>

class tst_ConnectionGuard : public QObject
{
    Q_OBJECT

private slots:
    void connectByName_data();
    void connectByName();
};

void tst_ConnectionGuard::connectByName_data()
{
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<bool>("fails");

    const QByteArray renamed(SIGNAL(objectNameChanged(QString))), later(SLOT(deleteLater()));
    QTest::newRow("matching") << renamed << later << false;
    QTest::newRow("misspeltSlot") << renamed << QByteArray(SLOT(delteLater())) << true;
    QTest::newRow("misspeltSignal")
        << QByteArray(SIGNAL(objectNameChange(QString))) << later << true;
}

void tst_ConnectionGuard::connectByName()
{
    QFETCH(QByteArray, signal);
    QFETCH(QByteArray, slot);
    QFETCH(bool, fails);

    if (qEnvironmentVariableIsSet("CONNECTION_GUARD_CHILD")) {
        QObject object;
        QObject::connect(&object, signal.constData(), &object, slot.constData());
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CONNECTION_GUARD_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("connectByName:") + QLatin1String(QTest::currentDataTag())});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QVERIFY2((child.exitCode() != 0) == fails, output.constData());
    QCOMPARE(output.contains("FAIL!  : tst_ConnectionGuard::connectByName("), fails);
}

QTEST_MAIN(tst_ConnectionGuard)
#include "tst_connectionguard.moc"
