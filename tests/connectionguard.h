#pragma once

// Force-included into every test program by tests/CMakeLists.txt. The programs' main runs the
// test object through ConnectionGuard::exec, which fails the running test function on any
// warning from QObject::connect or QObject::disconnect: a misspelt string signature only warns
// at run time and would otherwise pass unnoticed. Such warnings cannot be ignored.

#include <QByteArray>
#include <QThread>
#include <QtTest>

namespace ConnectionGuard {

inline QtMessageHandler previousHandler = nullptr;
inline QThread *testThread = nullptr;

inline void handleMessage(QtMsgType type, const QMessageLogContext &context,
                          const QString &message)
{
    if (previousHandler)
        previousHandler(type, context, message);
    if (type != QtWarningMsg
        || !(message.startsWith(QLatin1String("QObject::connect"))
             || message.startsWith(QLatin1String("QObject::disconnect"))))
        return;
    const QByteArray why = "Connection warning: " + message.toUtf8();
    // Qt Test records failures only on the thread that runs the test functions.
    if (QThread::currentThread() != testThread)
        qFatal("%s", why.constData());
    QTest::qFail(why.constData(), __FILE__, __LINE__);
}

// QTest::qExec, with the handler laid over the one Qt Test installs when it starts logging.
inline int exec(QObject *testObject, int argc, char **argv)
{
    QTest::qInit(testObject, argc, argv);
    testThread = QThread::currentThread();
    previousHandler = qInstallMessageHandler(handleMessage);
    const int failures = QTest::qRun();
    qInstallMessageHandler(previousHandler);
    QTest::qCleanup();
    return failures;
}

} // namespace ConnectionGuard

#define CONSOLE_TEST_MAIN(Application, TestObject)                                            \
    int main(int argc, char *argv[])                                                         \
    {                                                                                        \
        Application app(argc, argv);                                                         \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                             \
        TestObject tc;                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                           \
        return ConnectionGuard::exec(&tc, argc, argv);                                       \
    }

#undef QTEST_MAIN
#define QTEST_MAIN(TestObject) CONSOLE_TEST_MAIN(QApplication, TestObject)
#undef QTEST_GUILESS_MAIN
#define QTEST_GUILESS_MAIN(TestObject) CONSOLE_TEST_MAIN(QCoreApplication, TestObject)
#undef QTEST_APPLESS_MAIN
#define QTEST_APPLESS_MAIN(TestObject)                                                       \
    int main(int argc, char *argv[])                                                         \
    {                                                                                        \
        TestObject tc;                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                           \
        return ConnectionGuard::exec(&tc, argc, argv);                                       \
    }
