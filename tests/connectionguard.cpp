// Linked into every test program by tests/CMakeLists.txt, whose linker option sends the
// program's call of QTest::qExec (the one QTEST_MAIN writes) here. The tests then run with a
// message handler laid over Qt Test's that fails the running test function on any warning from
// QObject::connect or QObject::disconnect: a misspelt string signature only warns at run time
// and would otherwise pass unnoticed. Such warnings cannot be ignored with ignoreMessage.
#include <QByteArray>
#include <QThread>
#include <QtTest>

namespace
{

QtMessageHandler previousHandler = nullptr;
QThread *testThread = nullptr;

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (previousHandler)
        previousHandler(type, context, message);
    if (type != QtWarningMsg || !(message.startsWith(QLatin1String("QObject::connect")) ||
                                  message.startsWith(QLatin1String("QObject::disconnect"))))
        return;
    const QByteArray why = "Connection warning: " + message.toUtf8();
    // Qt Test records failures only on the thread that runs the test functions.
    if (QThread::currentThread() != testThread)
        qFatal("%s", why.constData());
    QTest::qFail(why.constData(), __FILE__, __LINE__);
}

} // namespace

// QTest::qExec(QObject *, int, char **) under the name the linker's --wrap gives it: Qt Test's
// own steps, with the handler installed once Qt Test has installed its own.
extern "C" int __wrap__ZN5QTest5qExecEP7QObjectiPPc(QObject *testObject, int argc, char **argv)
{
    QTest::qInit(testObject, argc, argv);
    testThread = QThread::currentThread();
    previousHandler = qInstallMessageHandler(handleMessage);
    const int failures = QTest::qRun();
    qInstallMessageHandler(previousHandler);
    QTest::qCleanup();
    return failures;
}
