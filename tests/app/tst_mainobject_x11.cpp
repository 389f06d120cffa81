#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "../testsupport.h"
#include "../x11support.h"

// The real console in a real X session with a window manager: a second start hands over to the
// first, whose main window comes to the front and does not stay on top.
class tst_MainObjectX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void secondStartRaisesFirstWindow();

private:
    QTemporaryDir m_dir;
    QString m_console;
};

namespace
{

using X11Support::activeWindow;
using X11Support::clientWindows;
using X11Support::windowOfPid;
using X11Support::xprop;

} // namespace

void tst_MainObjectX11::initTestCase()
{
    if (!X11Support::windowManagerRunning())
        QSKIP("No window manager on this display: activation cannot be observed.");

    // A copy of the console with a config folder of its own, so the build's file is not touched
    // and the single-instance name is not shared with a console the developer is running.
    QVERIFY(m_dir.isValid());
    const QString config =
        QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath() + QStringLiteral("/config");
    m_console = TestSupport::copyProgram(QStringLiteral(CONSOLE_EXECUTABLE), config, m_dir.path());
    QVERIFY(!m_console.isEmpty());
}

void tst_MainObjectX11::secondStartRaisesFirstWindow()
{
    // The consoles' socket and lock files go to the test's folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), m_dir.path());

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(m_console, {});
    QVERIFY(first.waitForStarted());
    quint64 consoleWindow = 0;
    QTRY_VERIFY_WITH_TIMEOUT((consoleWindow = windowOfPid(first.processId())) != 0, 30000);

    // Something else takes the front.
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(400, 300);
    other.show();
    other.raise();
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(other.isActiveWindow(), 10000);
    QVERIFY(activeWindow() != consoleWindow);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(m_console, {});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), consoleWindow, 10000);
    const QList<quint64> stacking = clientWindows("_NET_CLIENT_LIST_STACKING");
    QVERIFY(!stacking.isEmpty());
    QCOMPARE(stacking.last(), consoleWindow);
    const QString state = xprop(
        {QStringLiteral("-id"), QString::number(consoleWindow), QStringLiteral("_NET_WM_STATE")});
    QVERIFY2(!state.contains(QStringLiteral("_NET_WM_STATE_ABOVE")), qPrintable(state));
    QVERIFY2(state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")), qPrintable(state));

    // Only one console window exists.
    QTest::qWait(200);
    QCOMPARE(windowOfPid(second.processId()), quint64(0));

    first.terminate();
    QVERIFY(first.waitForFinished(30000));
}

QTEST_MAIN(tst_MainObjectX11)
#include "tst_mainobject_x11.moc"
