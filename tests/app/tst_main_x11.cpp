#include <QtTest>

#include "../testsupport.h"
#include "../x11support.h"

using namespace X11Support;

// The real console picks its language at start-up, before it builds a window: the main
// window's title is "windowName" as written, or "Inspection Console" in English.
class tst_MainX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsInChosenLanguage_data();
    void startsInChosenLanguage();

private:
    QTemporaryDir m_dir;
    QString m_console;
};

namespace
{

// Generous: a sanitizer build on a busy machine.
constexpr int Wait = 60000;

// The title of the process's first managed window, or an empty string while it has none:
// _NET_WM_NAME(UTF8_STRING) = "Inspection Console"
QString firstWindowTitle(qint64 pid)
{
    const QList<quint64> ids = windowsOfPid(pid);
    if (ids.isEmpty())
        return QString();
    const QString out = xprop({"-id", QString::number(ids.first()), "_NET_WM_NAME"});
    const int open = out.indexOf(QLatin1Char('"'));
    const int close = out.lastIndexOf(QLatin1Char('"'));
    return open >= 0 && close > open ? out.mid(open + 1, close - open - 1) : QString();
}

} // namespace

void tst_MainX11::initTestCase()
{
    if (!windowManagerRunning())
        QSKIP("No window manager on this display: the console's windows cannot be listed.");
    QVERIFY(m_dir.isValid());
    const QString config =
        QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath() + QStringLiteral("/config");
    m_console = TestSupport::copyProgram(QStringLiteral(CONSOLE_EXECUTABLE), config, m_dir.path());
    QVERIFY(!m_console.isEmpty());
}

void tst_MainX11::startsInChosenLanguage_data()
{
    QTest::addColumn<QByteArray>("entry"); // the INI line, or nothing
    QTest::addColumn<QString>("locale");   // LC_ALL of the console
    QTest::addColumn<QString>("title");

    const QString chinese = QStringLiteral("windowName");
    const QString english = QStringLiteral("Inspection Console");
    QTest::newRow("missingOnEnglishSystem") << QByteArray() << "en_US.UTF-8" << chinese;
    QTest::newRow("englishOnChineseSystem")
        << QByteArray("Language=en") << "zh_CN.UTF-8" << english;
    QTest::newRow("systemEnglish") << QByteArray("Language=system") << "en_GB.UTF-8" << english;
    QTest::newRow("systemGerman") << QByteArray("Language=system") << "de_DE.UTF-8" << chinese;
    QTest::newRow("unknownValue") << QByteArray("Language=english") << "en_US.UTF-8" << chinese;
}

void tst_MainX11::startsInChosenLanguage()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, locale);
    QFETCH(QString, title);

    const QString ini = m_dir.filePath(QStringLiteral("config/SetupConfig.ini"));
    QVERIFY(TestSupport::writeFile(ini, "[Config]\nTheme=dark_blue\n" + entry + '\n'));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The consoles' socket and lock files go to the test's folder.
    environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), locale);
    QProcess console;
    console.setProcessEnvironment(environment);
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(m_console, {});
    QVERIFY(console.waitForStarted());
    QString shown;
    QVERIFY(QTest::qWaitFor(
        [&] { return !(shown = firstWindowTitle(console.processId())).isEmpty(); }, Wait));
    QCOMPARE(shown, title);

    // SIGTERM ends the console through its event loop.
    console.terminate();
    QVERIFY(console.waitForFinished(Wait));
    QCOMPARE(console.exitStatus(), QProcess::NormalExit);
}

QTEST_MAIN(tst_MainX11)
#include "tst_main_x11.moc"
