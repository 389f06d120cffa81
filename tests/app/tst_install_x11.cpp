#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "../x11support.h"

// The console installed into a prefix of its own: the files a desktop needs are valid, and the
// installed console, started from its menu entry in a kiosk session (an X server without a window
// manager), finds its theme in the shared data folder, keeps its INI file in the user's
// configuration folder and fills the screen.
class tst_InstallX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void desktopFilesAreValid_data();
    void desktopFilesAreValid();
    void installedConsoleInAKioskSession_data();
    void installedConsoleInAKioskSession();

private:
    QString installed(const QString &path) const { return m_prefix + QLatin1Char('/') + path; }

    QTemporaryDir m_dir;
    QString m_prefix;
    QProcess m_xvfb;
    QString m_display;
};

void tst_InstallX11::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_prefix = m_dir.path() + QStringLiteral("/usr");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TEST_CMAKE_COMMAND),
                  {"--install", QStringLiteral(TEST_BUILD_DIR), "--prefix", m_prefix});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
    m_display = X11Support::startBareXvfb(m_xvfb, QStringLiteral("1280x1024"));
    QVERIFY2(!m_display.isEmpty(), "Xvfb did not start for a display without a window manager");
}

void tst_InstallX11::cleanupTestCase()
{
    m_xvfb.terminate();
    m_xvfb.waitForFinished();
}

void tst_InstallX11::desktopFilesAreValid_data()
{
    QTest::addColumn<QString>("command"); // %1: the prefix
    QTest::newRow("desktopEntry")
        << "desktop-file-validate %1/share/applications/inspection-console.desktop";
    QTest::newRow("appStream") << "appstreamcli validate --no-net %1/share/metainfo/"
                                  "local.inspectionconsole.InspectionConsole.metainfo.xml";
}

void tst_InstallX11::desktopFilesAreValid()
{
    QFETCH(QString, command);
    const QStringList arguments = QProcess::splitCommand(command.arg(m_prefix));
    if (QStandardPaths::findExecutable(arguments.first()).isEmpty())
        QSKIP("The validator is not installed (scripts/setup installs it)");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(arguments.first(), arguments.mid(1));
    QVERIFY(validate.waitForFinished(60000));
    const QByteArray out = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && !out.contains("warning"), out.constData());
}

void tst_InstallX11::installedConsoleInAKioskSession_data()
{
    QTest::addColumn<QByteArray>("ini");       // the user's file before the start, if any
    QTest::addColumn<QString>("themeWarning"); // the folder the log names, if any
    QTest::newRow("firstStart") << QByteArray() << QString();
    QTest::newRow("themeNotInstalled")
        << QByteArray("[Config]\nTheme=not_installed\n") << "/usr/share/inspection-console/style";
}

void tst_InstallX11::installedConsoleInAKioskSession()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, themeWarning);
    QTemporaryDir home;
    const QString userIni =
        home.path() + QStringLiteral("/.config/InspectionConsole/SetupConfig.ini");
    if (!ini.isEmpty())
        QVERIFY(TestSupport::writeFile(userIni, ini));
    const QStringList prefixBefore = TestSupport::treeOf(m_prefix);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    // The single-instance guard's files go to the test's own folder.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    const QSettings entry(installed("share/applications/inspection-console.desktop"),
                          QSettings::IniFormat);
    const QStringList command =
        QProcess::splitCommand(entry.value(QStringLiteral("Desktop Entry/Exec")).toString());
    QVERIFY(!command.isEmpty());
    QProcess console;
    console.setProcessEnvironment(environment);
    console.start(QStandardPaths::findExecutable(command.first(), {installed("bin")}),
                  command.mid(1));

    QString window;
    const bool shown = QTest::qWaitFor(
        [&] {
            QProcess xwininfo;
            xwininfo.setProcessEnvironment(environment);
            xwininfo.start(QStringLiteral("xwininfo"), {"-name", "windowName"});
            xwininfo.waitForFinished(10000);
            window = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
            return window.contains(QStringLiteral("IsViewable"));
        },
        60000);
    // Ends through its event loop, having shown its window with the theme applied.
    console.terminate();
    QVERIFY(console.waitForFinished(30000));
    const QString log = QString::fromLocal8Bit(console.readAllStandardError());
    QVERIFY2(shown && console.exitStatus() == QProcess::NormalExit && console.exitCode() == 0,
             qPrintable(log));

    // Regression: without a window manager the console opened as a small window in the corner.
    const QRegularExpression filled(
        QStringLiteral("Absolute upper-left X:\\s+0\\s+Absolute upper-left"
                       " Y:\\s+0\\s.*\\sWidth: 1280\\s+Height: 1024\\s"),
        QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(window.contains(filled), qPrintable(window));
    if (themeWarning.isEmpty())
        QVERIFY2(!log.contains(QStringLiteral("style sheet")), qPrintable(log));
    else
        QVERIFY2(log.contains("no readable style sheet under " + m_dir.path() + themeWarning),
                 qPrintable(log));
    QCOMPARE(QSettings(userIni, QSettings::IniFormat).value("Camera/Type").toInt(), 16);
    QCOMPARE(TestSupport::treeOf(m_prefix), prefixBefore);
}

QTEST_MAIN(tst_InstallX11)
#include "tst_install_x11.moc"
