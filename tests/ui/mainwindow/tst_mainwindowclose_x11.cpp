#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"

using namespace X11Support;

// Closing the real console through the window manager (Alt+F4), answering the close prompt from
// the keyboard. A window that a confirmed close leaves open keeps the program running unseen,
// holding the single-instance guard, so that every later start hands over to it.
class tst_MainWindowCloseX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void closeAsksThenEnds();
    void confirmedCloseLeavesNoWindow_data();
    void confirmedCloseLeavesNoWindow();

private:
    bool start(QProcess &console, const QStringList &args);
    bool answerPrompt(QProcess &console, const QString &key);
    // Until the console has ended or said that a window of it is still on screen; what it
    // said goes to said.
    bool waitForEnd(QProcess &console, QByteArray *said);

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

// The card's console leaves the pointer on the avatar, where the next console's card would
// drop: back to the middle of the screen, where the display starts it.
void tst_MainWindowCloseX11::cleanup()
{
    QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("--polar"), QStringLiteral("0"),
                     QStringLiteral("0")}));
}

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

bool tst_MainWindowCloseX11::waitForEnd(QProcess &console, QByteArray *said)
{
    const bool settled = QTest::qWaitFor(
        [&] {
            *said += console.readAllStandardOutput();
            return console.state() == QProcess::NotRunning || said->contains("visible ");
        },
        Wait);
    *said += console.readAllStandardOutput();
    return settled && console.state() == QProcess::NotRunning;
}

// With the demo window open.
void tst_MainWindowCloseX11::closeAsksThenEnds()
{
    QProcess console;
    QVERIFY(start(console, {QStringLiteral("--open"), QStringLiteral("function")}));
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

void tst_MainWindowCloseX11::confirmedCloseLeavesNoWindow_data()
{
    QTest::addColumn<QString>("window"); // what helper_console opens

    QTest::newRow("logWindow") << "log";
    QTest::newRow("loginForm") << "login";
    QTest::newRow("popupMenu") << "popup";
    QTest::newRow("userCard") << "card";
    QTest::newRow("tableWindow") << "table";
    QTest::newRow("functionWindow") << "function";
    // No button opens it; a tool window that stayed would not keep the program running.
    QTest::newRow("waitWindow") << "wait";
}

void tst_MainWindowCloseX11::confirmedCloseLeavesNoWindow()
{
    QFETCH(QString, window);
    QProcess console;
    QVERIFY(start(console, {QStringLiteral("--open"), window}));
    QVERIFY(answerPrompt(console, QStringLiteral("Return")));
    QByteArray said;
    const bool ended = waitForEnd(console, &said);
    QVERIFY2(!said.contains("visible "), said.constData());
    QVERIFY2(ended, "the console is still running");
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
    QCOMPARE(console.exitCode(), 0);
}

QTEST_MAIN(tst_MainWindowCloseX11)
#include "tst_mainwindowclose_x11.moc"
