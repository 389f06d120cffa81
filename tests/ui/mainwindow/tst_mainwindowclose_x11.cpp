#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"

using namespace X11Support;

// Closing the real console through the window manager (Alt+F4) with an auxiliary window open,
// answering the close prompt from the keyboard.
class tst_MainWindowCloseX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closeAsksThenEnds_data();
    void closeAsksThenEnds();

private:
    static void xdotool(const QStringList &args);
    void start(QProcess &console, const QStringList &args);
    void pressOnPrompt(qint64 pid, quint64 mainWindow, const QString &key);

    QTemporaryDir m_dir;
    QString m_console;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

void tst_MainWindowCloseX11::initTestCase()
{
    if (!windowManagerRunning())
        QSKIP("No window manager on this display: Alt+F4 has nobody to handle it.");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("xdotool is not installed: no way to type into another process.");
    QVERIFY(m_dir.isValid());
    const QString config = QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath()
        + QStringLiteral("/config");
    m_console = TestSupport::copyProgram(QStringLiteral(TEST_HELPER_DIR "/helper_console"), config, m_dir.path());
    QVERIFY(!m_console.isEmpty());
    // The consoles' socket and lock files go to the test's folder.
    m_environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
}

void tst_MainWindowCloseX11::xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    QVERIFY(p.waitForFinished(10000));
}

void tst_MainWindowCloseX11::start(QProcess &console, const QStringList &args)
{
    console.setProcessEnvironment(m_environment);
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(m_console, args);
    QVERIFY(console.waitForStarted());
    QByteArray output; // the check runs more than once: it must not lose what it read
    QTRY_VERIFY_WITH_TIMEOUT((output += console.readAllStandardOutput()).contains("ready")
                                 || console.state() == QProcess::NotRunning,
                             60000);
    QVERIFY2(output.contains("ready"), "the console could not open its window");
}

// Alt+F4 on the main window brings up the prompt as one more window; the key answers it.
void tst_MainWindowCloseX11::pressOnPrompt(qint64 pid, quint64 mainWindow, const QString &key)
{
    const QList<quint64> before = windowsOfPid(pid);
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(mainWindow)});
    xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
    quint64 prompt = 0;
    QTRY_VERIFY_WITH_TIMEOUT((prompt = activeWindow()) != mainWindow && windowsOfPid(pid).contains(prompt), 20000);
    QVERIFY(!before.contains(prompt));
    xdotool({QStringLiteral("key"), key});
}

void tst_MainWindowCloseX11::closeAsksThenEnds_data()
{
    QTest::addColumn<QString>("open");
    QTest::newRow("demoWindowOpen") << "--open-demo";
}

void tst_MainWindowCloseX11::closeAsksThenEnds()
{
    QFETCH(QString, open);
    QProcess console;
    start(console, {open});
    if (QTest::currentTestFailed())
        return;
    const quint64 mainWindow = windowOfPid(console.processId());
    QVERIFY(mainWindow);
    const QList<quint64> windows = windowsOfPid(console.processId());
    QVERIFY2(windows.size() >= 2, "the auxiliary window is not up");

    // Esc cancels: everything stays as it was.
    pressOnPrompt(console.processId(), mainWindow, QStringLiteral("Escape"));
    if (QTest::currentTestFailed())
        return;
    QTRY_COMPARE_WITH_TIMEOUT(windowsOfPid(console.processId()), windows, 20000);
    QCOMPARE(console.state(), QProcess::Running);

    // Enter confirms: the program ends, auxiliary window and all.
    pressOnPrompt(console.processId(), mainWindow, QStringLiteral("Return"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(console.waitForFinished(30000));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);

    // The guard is free: the next start is the primary and shows its own window.
    QProcess next;
    start(next, {});
    QVERIFY(windowOfPid(next.processId()));
    QCOMPARE(next.state(), QProcess::Running);
    next.terminate();
    QVERIFY(next.waitForFinished(30000));
}

QTEST_MAIN(tst_MainWindowCloseX11)
#include "tst_mainwindowclose_x11.moc"
