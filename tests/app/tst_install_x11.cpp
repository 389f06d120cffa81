#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "../x11support.h"

// The console installed into a prefix of its own: the files a desktop needs are valid, and the
// installed console started from its menu entry finds its theme in the shared data folder, keeps
// its INI file in the user's configuration folder and, in a kiosk session without a window
// manager, fills the screen.
class tst_InstallX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopFilesAreValid_data();
    void desktopFilesAreValid();
    void iconAtEverySize();
    void installedConsoleKeepsItsFilesApart_data();
    void installedConsoleKeepsItsFilesApart();
    void kioskSessionIsFilled();

private:
    QString installed(const QString &path) const { return m_prefix + QLatin1Char('/') + path; }
    QString desktopEntry(const QString &key) const;
    // Starts the installed console as the menu does, with a home folder of its own, waits for
    // its window and ends it; returns what xwininfo said about the window, empty if none came.
    QString runConsole(const QString &display, const QString &home, QString *log) const;

    QTemporaryDir m_dir;
    QString m_prefix;
};

void tst_InstallX11::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_prefix = m_dir.path() + QStringLiteral("/usr");
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TEST_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(TEST_BUILD_DIR),
                   QStringLiteral("--prefix"), m_prefix});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

QString tst_InstallX11::desktopEntry(const QString &key) const
{
    QSettings entry(installed(QStringLiteral("share/applications/inspection-console.desktop")),
                    QSettings::IniFormat);
    return entry.value(QStringLiteral("Desktop Entry/") + key).toString();
}

QString tst_InstallX11::runConsole(const QString &display, const QString &home, QString *log) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    // The single-instance guard's files go to the test's own folder.
    environment.insert(QStringLiteral("TMPDIR"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    const QStringList command = QProcess::splitCommand(desktopEntry(QStringLiteral("Exec")));
    if (command.isEmpty())
        return QString();
    QProcess console;
    console.setProcessEnvironment(environment);
    console.start(QStandardPaths::findExecutable(command.first(), {installed(QStringLiteral("bin"))}),
                  command.mid(1));

    QString window;
    const bool shown = QTest::qWaitFor(
        [&] {
            QProcess xwininfo;
            xwininfo.setProcessEnvironment(environment);
            xwininfo.start(QStringLiteral("xwininfo"),
                           {QStringLiteral("-name"), QStringLiteral("windowName")});
            xwininfo.waitForFinished(10000);
            window = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
            return window.contains(QStringLiteral("IsViewable"));
        },
        60000);
    // Ends through its event loop, having shown its window with the theme applied.
    console.terminate();
    const bool ended = console.waitForFinished(30000) && console.exitStatus() == QProcess::NormalExit;
    *log = QString::fromLocal8Bit(console.readAllStandardError())
        + QStringLiteral("\nexit code %1").arg(console.exitCode());
    return shown && ended ? window : QString();
}

void tst_InstallX11::desktopFilesAreValid_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("desktopEntry") << "desktop-file-validate"
                                  << QStringList{"share/applications/inspection-console.desktop"};
    QTest::newRow("appStream") << "appstreamcli"
                               << QStringList{"validate", "--no-net",
                                              "share/metainfo/"
                                              "local.inspectionconsole.InspectionConsole.metainfo.xml"};
}

void tst_InstallX11::desktopFilesAreValid()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    if (QStandardPaths::findExecutable(tool).isEmpty())
        QSKIP("The validator is not installed (scripts/setup installs it)");
    arguments.last() = installed(arguments.last());
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(tool, arguments);
    QVERIFY(validate.waitForFinished(60000));
    const QByteArray out = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && !out.contains("warning"), out.constData());
}

void tst_InstallX11::iconAtEverySize()
{
    const QString icon = desktopEntry(QStringLiteral("Icon"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon));
        QCOMPARE(QImage(file).size(), QSize(size, size));
    }
    if (!QImageReader::supportedImageFormats().contains("svg"))
        QSKIP("No SVG image plugin to read the scalable icon");
    QImageReader svg(installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon)));
    svg.setScaledSize(QSize(64, 64));
    const QImage image = svg.read();
    // The tile in the middle is opaque, the rounded corner is not.
    QCOMPARE(image.pixelColor(32, 32).alpha(), 255);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void tst_InstallX11::installedConsoleKeepsItsFilesApart_data()
{
    QTest::addColumn<QByteArray>("ini");       // the user's file before the start, if any
    QTest::addColumn<QString>("themeWarning"); // the folder the log names, if any
    QTest::newRow("firstStart") << QByteArray() << QString();
    QTest::newRow("themeNotInstalled")
        << QByteArray("[Config]\nTheme=not_installed\n") << "/usr/share/inspection-console/style";
}

void tst_InstallX11::installedConsoleKeepsItsFilesApart()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, themeWarning);
    QTemporaryDir home;
    const QString userIni = home.path() + QStringLiteral("/.config/InspectionConsole/SetupConfig.ini");
    if (!ini.isEmpty())
        QVERIFY(TestSupport::writeFile(userIni, ini));
    const QStringList prefixBefore = TestSupport::treeOf(m_prefix);

    QString log;
    QVERIFY(!runConsole(qEnvironmentVariable("DISPLAY"), home.path(), &log).isEmpty());
    if (themeWarning.isEmpty())
        QVERIFY2(!log.contains(QStringLiteral("style sheet")), qPrintable(log));
    else
        QVERIFY2(log.contains(QStringLiteral("no readable style sheet under ") + m_dir.path()
                              + themeWarning),
                 qPrintable(log));
    QCOMPARE(QSettings(userIni, QSettings::IniFormat).value(QStringLiteral("Camera/Type")).toInt(),
             16);
    QCOMPARE(TestSupport::treeOf(m_prefix), prefixBefore);
}

void tst_InstallX11::kioskSessionIsFilled()
{
    // Regression: without a window manager the console opened as a small window in the corner.
    QProcess xvfb;
    auto stopXvfb = qScopeGuard([&xvfb] {
        xvfb.terminate();
        xvfb.waitForFinished();
    });
    const QString display = X11Support::startBareXvfb(xvfb, QStringLiteral("1280x1024"));
    if (display.isEmpty())
        QSKIP("Xvfb cannot be started for a display without a window manager");
    QTemporaryDir home;
    QString log;
    const QString window = runConsole(display, home.path(), &log);
    QVERIFY2(!window.isEmpty(), qPrintable(log));
    // "Absolute upper-left X:  0" ... "Width: 1280"
    const auto field = [&window](const char *name) {
        const QRegularExpression pattern(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
        return pattern.match(window).captured(1).toInt();
    };
    QCOMPARE(QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                   field("Height")),
             QRect(0, 0, 1280, 1024));
}

QTEST_MAIN(tst_InstallX11)
#include "tst_install_x11.moc"
