#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/common/windowmaximizer.h"
#include "../../testsupport.h"
#include "../../x11support.h"

// Maximising with and without a window manager. Without one (a kiosk X session) nothing acts
// on a maximise request; the console fills the screen by itself there.
class tst_WindowMaximizerX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void method_data();
    void method();
    void probeSeesTheWindowManager();
    void kioskConsoleFillsTheScreen();

private:
    QProcess m_xvfb;
    QString m_bareDisplay;
};

void tst_WindowMaximizerX11::initTestCase()
{
    m_bareDisplay = X11Support::startBareXvfb(m_xvfb, QStringLiteral("1280x1024"));
}

void tst_WindowMaximizerX11::cleanupTestCase()
{
    m_xvfb.terminate();
    m_xvfb.waitForFinished();
}

void tst_WindowMaximizerX11::method_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<bool>("windowManager");
    QTest::addColumn<bool>("fill");
    QTest::newRow("x11WithWindowManager") << "xcb" << true << false;
    QTest::newRow("x11Kiosk") << "xcb" << false << true;
    QTest::newRow("wayland") << "wayland" << false << false;
    QTest::newRow("offscreen") << "offscreen" << false << false;
}

void tst_WindowMaximizerX11::method()
{
    QFETCH(QString, platform);
    QFETCH(bool, windowManager);
    QFETCH(bool, fill);
    QCOMPARE(WindowMaximizer::method(platform, windowManager) == WindowMaximizer::Method::FillScreen,
             fill);
}

void tst_WindowMaximizerX11::probeSeesTheWindowManager()
{
    QCOMPARE(WindowMaximizer::windowManagerRunning(), X11Support::windowManagerRunning());
    if (m_bareDisplay.isEmpty())
        QSKIP("Xvfb cannot be started for a display without a window manager");
    const QByteArray display = qgetenv("DISPLAY");
    const auto restore = qScopeGuard([&display] { qputenv("DISPLAY", display); });
    qputenv("DISPLAY", m_bareDisplay.toLatin1());
    QVERIFY(!WindowMaximizer::windowManagerRunning());
}

void tst_WindowMaximizerX11::kioskConsoleFillsTheScreen()
{
    // Regression: without a window manager the console opened as a small window in the corner.
    if (m_bareDisplay.isEmpty())
        QSKIP("Xvfb cannot be started for a display without a window manager");
    QTemporaryDir dir;
    const QString console = dir.path() + QStringLiteral("/inspection-console");
    QVERIFY(QFile::copy(QStringLiteral(CONSOLE_EXECUTABLE), console));
    QVERIFY(QFile(console).setPermissions(QFile::permissions(console) | QFileDevice::ExeOwner));
    QVERIFY(TestSupport::copyTree(QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath()
                                      + QStringLiteral("/config/style"),
                                  dir.path() + QStringLiteral("/config/style")));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_bareDisplay);
    // The single-instance guard's files go to the test's own folder.
    environment.insert(QStringLiteral("TMPDIR"), dir.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    run.start(console, {});
    QVERIFY(run.waitForStarted());
    const auto stop = qScopeGuard([&run] {
        run.terminate();
        run.waitForFinished(30000);
    });

    // "Absolute upper-left X:  0" ... "Width: 1280" ... "Map State: IsViewable"
    const auto info = [&environment] {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(QStringLiteral("xwininfo"), {QStringLiteral("-name"), QStringLiteral("windowName")});
        p.waitForFinished(10000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    };
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT((window = info()).contains(QStringLiteral("IsViewable")), 60000);
    const auto field = [&window](const char *name) {
        const QRegularExpression pattern(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
        return pattern.match(window).captured(1).toInt();
    };
    QCOMPARE(QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                   field("Height")),
             QRect(0, 0, 1280, 1024));
}

QTEST_MAIN(tst_WindowMaximizerX11)
#include "tst_windowmaximizer_x11.moc"
