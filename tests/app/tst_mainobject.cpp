#include <QApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "ui/mainwindow/mainwindow.h"
#include "../testsupport.h"

using TestSupport::writeFile;

class tst_MainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void applyTheme_data();
    void applyTheme();
    void themeUnderFolderWithPercentSign();
    void windowsStayHiddenUntilShown();

private:
    QTemporaryDir m_dir;
};

void tst_MainObject::initTestCase()
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

void tst_MainObject::applyTheme_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QString>("expected"); // the style sheet afterwards

    const QString start = QStringLiteral("QWidget { color: #010203; }");
    QTest::newRow("storedTheme") << "dark_blue" << true << start;
    QTest::newRow("utf8Content") << "utf8" << true
                                 << QString::fromUtf8("QLabel { font-family: \"微软雅黑\"; }");
    QTest::newRow("unknownTheme") << "no_such_theme" << false << start;
    QTest::newRow("besideExecutable") << "beside" << false << start;
    QTest::newRow("emptyName") << "" << false << start;
    QTest::newRow("parentFolder") << ".." << false << start;
    QTest::newRow("pathOutOfConfig") << "../../secret.css/.." << false << start;
    QTest::newRow("backslash") << "dark_blue\\..\\x" << false << start;
}

void tst_MainObject::applyTheme()
{
    QFETCH(QString, theme);
    QFETCH(bool, applied);
    QFETCH(QString, expected);

    QVERIFY(MainObject::applyTheme(QStringLiteral("dark_blue")));
    if (!applied)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("keeping the current")));
    QCOMPARE(MainObject::applyTheme(theme), applied);
    QCOMPARE(qApp->styleSheet(), expected);
}

// A folder name such as "100%1" is a legal path; it must not swallow the theme name.
void tst_MainObject::themeUnderFolderWithPercentSign()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString appDir = dir.path() + QStringLiteral("/100%1 station");
    const QString css = appDir + QStringLiteral("/config/style/dark_green/style.css");
    QVERIFY(writeFile(css, "QWidget { color: #040506; }"));

    SetupConfig::instance()->setAppDir(appDir);
    const auto restore = qScopeGuard([this] { SetupConfig::instance()->setAppDir(m_dir.path()); });
    QCOMPARE(MainObject::themeFilePath(QStringLiteral("dark_green")), css);
    QVERIFY(MainObject::applyTheme(QStringLiteral("dark_green")));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget { color: #040506; }"));
}

void tst_MainObject::windowsStayHiddenUntilShown()
{
    MainObject mainObject;
    QVERIFY(mainObject.mainWindow());
    QVERIFY(!mainObject.mainWindow()->isVisible());
    QVERIFY(QApplication::topLevelWidgets().size() >= 1);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    mainObject.showMainWindow();
    QVERIFY(mainObject.mainWindow()->isVisible());
    QVERIFY(mainObject.mainWindow()->windowState() & Qt::WindowMaximized);
}

QTEST_MAIN(tst_MainObject)
#include "tst_mainobject.moc"
