#include <QApplication>
#include <QPixmapCache>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "../../testsupport.h"
#include "common/config/setupconfig.h"
#include "ui/theme/thememanager.h"

using TestSupport::writeFile;

class tst_ThemeManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void applyTheme_data();
    void applyTheme();
    void themeUnderFolderWithPercentSign();
    void hugeNameIsShortenedInTheLog();

private:
    QTemporaryDir m_dir;
};

void tst_ThemeManager::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("config/style/dark_blue/style.css")),
                      "QWidget { color: #010203; }"));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("config/style/utf8/style.css")),
                      "QLabel { font-family: "
                      "\"\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91\"; }"));
    // A style sheet beside the executable, not under config, is not a theme.
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("style/beside/style.css")),
                      "QWidget { color: red; }"));
    QVERIFY(writeFile(m_dir.filePath(QStringLiteral("secret.css")), "QWidget { color: blue; }"));
}

void tst_ThemeManager::applyTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QString>("expected"); // the style sheet afterwards

    const QString start = QStringLiteral("QWidget { color: #010203; }");
    QTest::newRow("utf8Content") << "utf8" << true
                                 << QString::fromUtf8("QLabel { font-family: \"微软雅黑\"; }");
    QTest::newRow("unknownTheme") << "no_such_theme" << false << start;
    QTest::newRow("besideExecutable") << "beside" << false << start;
    QTest::newRow("emptyName") << "" << false << start;
    QTest::newRow("parentFolder") << ".." << false << start;
    QTest::newRow("pathOutOfConfig") << "../../secret.css/.." << false << start;
    QTest::newRow("backslash") << "dark_blue\\..\\x" << false << start;
}

void tst_ThemeManager::applyTheme()
{
    QFETCH(QString, theme);
    QFETCH(bool, applied);
    QFETCH(QString, expected);

    QVERIFY(ThemeManager::applyTheme(QStringLiteral("dark_blue")));
    // Drawings cached under the theme that stays are kept; a new theme drops them.
    QPixmap drawing(4, 4);
    QVERIFY(QPixmapCache::insert(QStringLiteral("drawing"), drawing));
    if (!applied)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("keeping the current")));
    QCOMPARE(ThemeManager::applyTheme(theme), applied);
    QCOMPARE(qApp->styleSheet(), expected);
    QCOMPARE(QPixmapCache::find(QStringLiteral("drawing"), &drawing), !applied);
}

// A folder name such as "100%1" is a legal path; it must not swallow the theme name.
void tst_ThemeManager::themeUnderFolderWithPercentSign()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString appDir = dir.path() + QStringLiteral("/100%1 station");
    const QString css = appDir + QStringLiteral("/config/style/dark_green/style.css");
    QVERIFY(writeFile(css, "QWidget { color: #040506; }"));

    SetupConfig::instance()->setAppDir(appDir);
    const auto restore = qScopeGuard([this] { SetupConfig::instance()->setAppDir(m_dir.path()); });
    QCOMPARE(ThemeManager::themeFilePath(QStringLiteral("dark_green")), css);
    QVERIFY(ThemeManager::applyTheme(QStringLiteral("dark_green")));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: #040506; }"));
}

// A hand-edited INI with a 100 KB theme name printed it whole on every start.
void tst_ThemeManager::hugeNameIsShortenedInTheLog()
{
    static QStringList messages;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { messages << text; });
    // A missing folder, and a name that is no folder name at all.
    const bool applied = ThemeManager::applyTheme(QString(100 * 1024, QLatin1Char('x'))) ||
                         ThemeManager::applyTheme(QString(100 * 1024, QLatin1Char('/')));
    qInstallMessageHandler(previous);

    QVERIFY(!applied);
    QCOMPARE(messages.size(), 2);
    for (const QString &message : qAsConst(messages)) {
        QVERIFY2(message.size() < 400, qPrintable(message.left(400)));
        QVERIFY(message.contains(QStringLiteral("102400")));
    }
}

QTEST_MAIN(tst_ThemeManager)
#include "tst_thememanager.moc"
