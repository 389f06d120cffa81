#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"

using namespace X11Support;

// Closing the real console through the window manager (Alt+F4) with the demo window open,
// answering the close prompt from the keyboard.
class tst_MainWindowCloseX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closeAsksThenEnds();
    void promptComesBackWithSecondStart();

private:
    bool start(QProcess &console, const QStringList &args);
    quint64 openPrompt(QProcess &console);
    bool answerPrompt(QProcess &console, const QString &key);

    QTemporaryDir m_dir;
    QString m_console;
};

// Until the console says it is ready: its windows are up.
bool tst_MainWindowCloseX11::start(QProcess &console, const QStringList &args)
{
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(m_console, args);
    QByteArray output;
    return QTest::qWaitFor(
               [&] {
                   output += console.readAllStandardOutput();
                   return output.contains("ready") || console.state() == QProcess::NotRunning;
               },
               60000) &&
           output.contains("ready");
}

// Alt+F4 on the main window brings the prompt up as a window of its own; its id, or 0.
quint64 tst_MainWindowCloseX11::openPrompt(QProcess &console)
{
    const quint64 main = windowOfPid(console.processId());
    const QList<quint64> before = windowsOfPid(console.processId());
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"),
                                                  QStringLiteral("--sync"), QString::number(main)});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")});
    quint64 prompt = 0;
    if (!QTest::qWaitFor(
            [&] {
                return !before.contains(prompt = activeWindow()) &&
                       windowsOfPid(console.processId()).contains(prompt);
            },
            20000))
        return 0;
    return prompt;
}

// The prompt, up and active, answers the key.
bool tst_MainWindowCloseX11::answerPrompt(QProcess &console, const QString &key)
{
    return openPrompt(console) != 0 &&
           QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}) == 0;
}

void tst_MainWindowCloseX11::initTestCase()
{
    if (!windowManagerRunning() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("Needs a window manager for Alt+F4, and xdotool to type into another process.");
    const QString config =
        QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath() + QStringLiteral("/config");
    qputenv("TMPDIR", m_dir.path().toLocal8Bit()); // the consoles' socket and lock files
    m_console = TestSupport::copyProgram(QStringLiteral(TEST_HELPER_DIR "/helper_console"), config,
                                         m_dir.path());
    QVERIFY(!m_console.isEmpty());
}

void tst_MainWindowCloseX11::closeAsksThenEnds()
{
    QProcess console;
    QVERIFY(start(console, {QStringLiteral("--open-demo")}));
    const QList<quint64> windows = windowsOfPid(console.processId());
    QVERIFY2(windows.size() >= 2, "the demo window is not up");

    // Esc cancels: everything stays as it was.
    QVERIFY(answerPrompt(console, QStringLiteral("Escape")));
    QTRY_COMPARE_WITH_TIMEOUT(windowsOfPid(console.processId()), windows, 20000);
    QCOMPARE(console.state(), QProcess::Running);

    // Enter confirms: the program ends, demo window and all, and frees the guard.
    QVERIFY(answerPrompt(console, QStringLiteral("Return")));
    QVERIFY(console.waitForFinished(30000));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);
    QProcess next;
    QVERIFY2(start(next, {}), "the next start handed over instead of becoming the primary");
    next.terminate();
    QVERIFY(next.waitForFinished(30000));
}

// Minimised, the close prompt once left the console ignoring every click, and a second start
// brought the main window back without it. The prompt belongs to the main window (transient for
// it) and comes to the front with it.
void tst_MainWindowCloseX11::promptComesBackWithSecondStart()
{
    QProcess console;
    QVERIFY(start(console, {}));
    const quint64 main = windowOfPid(console.processId());
    const quint64 prompt = openPrompt(console);
    QVERIFY(prompt);
    const QString id = QString::number(prompt);
    QVERIFY(xprop({QStringLiteral("-id"), id, QStringLiteral("WM_TRANSIENT_FOR")})
                .contains(QStringLiteral("0x%1").arg(main, 0, 16)));

    // Minimised through the window manager, the way left open to an operator.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), id});
    QTRY_VERIFY_WITH_TIMEOUT(activeWindow() != prompt, 10000);

    QProcess second;
    second.start(m_console, {});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), prompt, 10000);
    QVERIFY(xprop({QStringLiteral("-id"), id, QStringLiteral("WM_STATE")})
                .contains(QStringLiteral("Normal")));
    const QList<quint64> stacking = clientWindows("_NET_CLIENT_LIST_STACKING");
    QVERIFY(stacking.indexOf(prompt) > stacking.indexOf(main));

    QVERIFY(QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("key"), QStringLiteral("Escape")}) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!windowsOfPid(console.processId()).contains(prompt), 20000);
    console.terminate();
    QVERIFY(console.waitForFinished(30000));
}

QTEST_MAIN(tst_MainWindowCloseX11)
#include "tst_mainwindowclose_x11.moc"
