#include <QImageReader>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "../x11support.h"

// The console installed into a prefix of its own: the files a desktop needs are valid, and the
// installed console started from its menu entry finds its theme in the shared data folder and
// keeps its INI file in the user's configuration folder.
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

private:
    QString installed(const QString &path) const { return m_prefix + QLatin1Char('/') + path; }
    QString desktopEntry(const QString &key) const;

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
    QVERIFY2(validate.exitCode() == 0, out.constData());
    QVERIFY2(!out.contains("warning"), out.constData());
}

void tst_InstallX11::iconAtEverySize()
{
    const QString icon = desktopEntry(QStringLiteral("Icon"));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon));
        QCOMPARE(QImage(file).size(), QSize(size, size));
    }
    const QString svg = installed(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(icon));
    if (!QImageReader::supportedImageFormats().contains("svg"))
        QSKIP("No SVG image plugin to read the scalable icon");
    QImageReader reader(svg);
    reader.setScaledSize(QSize(64, 64));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    // The tile in the middle is opaque, the rounded corner is not.
    QCOMPARE(image.pixelColor(32, 32).alpha(), 255);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void tst_InstallX11::installedConsoleKeepsItsFilesApart_data()
{
    QTest::addColumn<QByteArray>("ini");       // the user's file before the start, if any
    QTest::addColumn<QString>("themeWarning"); // part of the path the log names, if any
    QTest::newRow("firstStart") << QByteArray() << QString();
    QTest::newRow("themeNotInstalled")
        << QByteArray("[Config]\nTheme=not_installed\n")
        << "/usr/share/inspection-console/style";
}

void tst_InstallX11::installedConsoleKeepsItsFilesApart()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, themeWarning);
    if (!X11Support::windowManagerRunning())
        QSKIP("No window manager on this display: the console's window cannot be found.");

    QTemporaryDir home;
    const QString userIni = home.path() + QStringLiteral("/.config/InspectionConsole/SetupConfig.ini");
    if (!ini.isEmpty())
        QVERIFY(TestSupport::writeFile(userIni, ini));
    const QStringList prefixBefore = TestSupport::treeOf(m_prefix);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    // The single-instance guard's files go to the test's own folder.
    environment.insert(QStringLiteral("TMPDIR"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.insert(QStringLiteral("PATH"), installed(QStringLiteral("bin:"))
                                                   + environment.value(QStringLiteral("PATH")));
    // As the menu starts it: the entry's command, found on the PATH.
    const QStringList command = QProcess::splitCommand(desktopEntry(QStringLiteral("Exec")));
    QVERIFY(!command.isEmpty());
    QProcess console;
    console.setProcessEnvironment(environment);
    console.start(QStandardPaths::findExecutable(command.first(),
                                                 {installed(QStringLiteral("bin"))}),
                  command.mid(1));
    QVERIFY(console.waitForStarted());
    auto stop = qScopeGuard([&console] {
        console.terminate();
        console.waitForFinished(30000);
    });
    // The window shows once the theme is applied.
    QTRY_VERIFY_WITH_TIMEOUT(X11Support::windowOfPid(console.processId()) != 0, 60000);
    stop.dismiss();
    console.terminate();
    QVERIFY(console.waitForFinished(30000));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);

    const QString log = QString::fromLocal8Bit(console.readAllStandardError());
    if (themeWarning.isEmpty())
        QVERIFY2(!log.contains(QStringLiteral("style sheet")), qPrintable(log));
    else
        QVERIFY2(log.contains(QStringLiteral("no readable style sheet under ") + m_dir.path()
                              + themeWarning),
                 qPrintable(log));

    QSettings stored(userIni, QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Camera/Type")).toInt(), 16);
    QCOMPARE(TestSupport::treeOf(m_prefix), prefixBefore);
}

QTEST_MAIN(tst_InstallX11)
#include "tst_install_x11.moc"
