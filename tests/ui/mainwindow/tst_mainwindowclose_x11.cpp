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

namespace
{

// Generous: a sanitizer build on a busy machine.
constexpr int Wait = 60000;

// False when xdotool failed or did not finish ("--sync" waits for the window manager).
bool xdotool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForFinished(Wait)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool activate(quint64 window)
{
    return xdotool(
        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
}

} // namespace

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
               Wait) &&
           output.contains("ready");
}

// Alt+F4 on the main window brings the prompt up as a window of its own. Once the window
// manager has taken it on, the prompt is made the active window and the key answers it: whether
// and when the window manager hands a new window the focus by itself depends on the load.
bool tst_MainWindowCloseX11::answerPrompt(QProcess &console, const QString &key)
{
    const QList<quint64> before = clientWindows("_NET_CLIENT_LIST");
    if (!activate(windowOfPid(console.processId())) ||
        !xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")}))
        return false;
    quint64 prompt = 0;
    const bool up = QTest::qWaitFor(
        [&] {
            for (quint64 id : clientWindows("_NET_CLIENT_LIST")) {
                if (!before.contains(id) && windowsOfPid(console.processId()).contains(id))
                    prompt = id;
            }
            return prompt != 0;
        },
        Wait);
    return up && activate(prompt) && xdotool({QStringLiteral("key"), key});
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
    QTRY_COMPARE_WITH_TIMEOUT(windowsOfPid(console.processId()), windows, Wait);
    QCOMPARE(console.state(), QProcess::Running);

    // Enter confirms: the program ends, demo window and all, and frees the guard.
    QVERIFY(answerPrompt(console, QStringLiteral("Return")));
    QVERIFY(console.waitForFinished(Wait));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);
    QProcess next;
    QVERIFY2(start(next, {}), "the next start handed over instead of becoming the primary");
    next.terminate();
    QVERIFY(next.waitForFinished(Wait));
}

QTEST_MAIN(tst_MainWindowCloseX11)
#include "tst_mainwindowclose_x11.moc"
