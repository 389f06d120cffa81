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
    void closeAsksThenEnds();

private:
    bool start(QProcess &console, const QStringList &args);
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

// Alt+F4 on the main window brings the prompt up as a window of its own, which the key answers.
bool tst_MainWindowCloseX11::answerPrompt(QProcess &console, const QString &key)
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
        return false;
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}) == 0;
}

void tst_MainWindowCloseX11::closeAsksThenEnds()
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

QTEST_MAIN(tst_MainWindowCloseX11)
#include "tst_mainwindowclose_x11.moc"
