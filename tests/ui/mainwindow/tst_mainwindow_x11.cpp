#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "mainobject.h"
#include "ui/common/thememanager.h"
#include "ui/mainwindow/mainwindow.h"
#include "../../testsupport.h"

namespace {

using TestSupport::copyTree;
using TestSupport::readFile;

// Runs the action once the next modal or popup widget is up.
template <typename Fn>
void whenModalIsUp(Fn fn)
{
    QTimer::singleShot(0, qApp, [fn] {
        QWidget *modal = QApplication::activePopupWidget();
        if (!modal)
            modal = QApplication::activeModalWidget();
        if (!modal) {
            whenModalIsUp(fn);
            return;
        }
        fn(modal);
    });
}

} // namespace

// The main window in a real X session with a window manager.
class tst_MainWindowX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void shownMaximisedAndFrameless();
    void titleBar();
    void middleButtonOpensItsBox();
    void styleMenuRestylesWithoutStoring_data();
    void styleMenuRestylesWithoutStoring();

private:
    QToolButton *styleButton() const;

    QTemporaryDir m_dir;
    MainObject *m_mainObject = nullptr;
};

void tst_MainWindowX11::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString config = m_dir.path() + QStringLiteral("/config");
    QVERIFY(copyTree(QStringLiteral(TEST_CONFIG_DIR "/style"), config + QStringLiteral("/style")));
    QVERIFY(copyTree(QStringLiteral(TEST_ASSET_DIR "/config/image"), config + QStringLiteral("/image")));
    SetupConfig::instance()->setAppDir(m_dir.path());
    QVERIFY(MainObject::applyTheme(SetupConfig::instance()->theme()));
    m_mainObject = new MainObject;
    QVERIFY(!m_mainObject->mainWindow()->isVisible());
    m_mainObject->showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_mainObject->mainWindow()));
}

void tst_MainWindowX11::cleanupTestCase()
{
    delete m_mainObject;
}

QToolButton *tst_MainWindowX11::styleButton() const
{
    const auto buttons = m_mainObject->mainWindow()->fancyBar()->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() && button->defaultAction()->text() == QLatin1String("style"))
            return button;
    }
    return nullptr;
}

void tst_MainWindowX11::shownMaximisedAndFrameless()
{
    MainWindow *window = m_mainObject->mainWindow();
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QTRY_VERIFY(window->windowState() & Qt::WindowMaximized);
    const QRect available = window->screen()->availableGeometry();
    QTRY_COMPARE(window->frameGeometry(), available);
    QCOMPARE(window->windowTitle(), QStringLiteral("windowName"));
    QVERIFY(!window->windowIcon().isNull());
}

void tst_MainWindowX11::titleBar()
{
    MainWindow *window = m_mainObject->mainWindow();
    FancyBar *bar = window->fancyBar();
    QCOMPARE(bar->height(), 50);
    QCOMPARE(bar->mapTo(window, QPoint(0, 0)), QPoint(0, 0));

    auto *logo = bar->findChild<QToolButton *>(QStringLiteral("FancyBarLogoButton"));
    QVERIFY(logo);
    QCOMPARE(logo->iconSize(), QSize(40, 40));
    QVERIFY(!logo->icon().pixmap(40, 40).isNull());

    QPushButton *middle = window->middleButton();
    QCOMPARE(middle->text(), QStringLiteral("ClickMe"));
    QCOMPARE(middle->size(), QSize(100, 30));
    QVERIFY(middle->isVisible());
    // Centred in the bar.
    const QPoint centre = middle->mapTo(bar, middle->rect().center());
    QVERIFY2(qAbs(centre.x() - bar->width() / 2) <= 1, qPrintable(QString::number(centre.x())));

    QToolButton *style = styleButton();
    QVERIFY(style);
    QVERIFY(style->isVisible());
    QVERIFY(style->x() < middle->mapTo(bar, QPoint(0, 0)).x());
}

void tst_MainWindowX11::middleButtonOpensItsBox()
{
    MainWindow *window = m_mainObject->mainWindow();
    QString shownText;
    bool wasModal = false;
    whenModalIsUp([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box) {
            shownText = box->text();
            wasModal = box->isModal();
            box->accept();
        } else {
            modal->close();
        }
    });
    QTest::mouseClick(window->middleButton(), Qt::LeftButton);
    QCOMPARE(shownText, QStringLiteral("What are you talking about?"));
    QVERIFY(wasModal);

    // The window goes on working: the box is gone and the bar takes clicks again.
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(window->isVisible());
    whenModalIsUp([&](QWidget *modal) { modal->close(); });
    QTest::mouseClick(window->middleButton(), Qt::LeftButton);
}

void tst_MainWindowX11::styleMenuRestylesWithoutStoring_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("removeFileFirst");

    QTest::newRow("light_green") << "light_green" << false;
    QTest::newRow("dark_yellow_green") << "dark_yellow_green" << false;
    QTest::newRow("sameThemeAgain") << "dark_yellow_green" << false;
    QTest::newRow("missingFileKeepsStyle") << "light_blue" << true;
}

void tst_MainWindowX11::styleMenuRestylesWithoutStoring()
{
    QFETCH(QString, theme);
    QFETCH(bool, removeFileFirst);

    const QString file = ThemeManager::themeFilePath(theme);
    if (removeFileFirst)
        QVERIFY(QFile::remove(file));
    const QString before = qApp->styleSheet();
    const QByteArray storedBefore = readFile(SetupConfig::instance()->iniFilePath());

    // As a user: open the "style" menu from the bar and click the theme's entry.
    QToolButton *style = styleButton();
    QVERIFY(style);
    bool clicked = false;
    whenModalIsUp([&](QWidget *popup) {
        auto *menu = qobject_cast<QMenu *>(popup);
        if (!menu) {
            popup->close();
            return;
        }
        for (QAction *action : menu->actions()) {
            if (action->text() == theme) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                clicked = true;
                return;
            }
        }
        menu->close();
    });
    QTest::mouseClick(style, Qt::LeftButton);
    QTRY_VERIFY(clicked);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    if (removeFileFirst)
        QCOMPARE(qApp->styleSheet(), before);
    else
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(readFile(file)));
    QCOMPARE(readFile(SetupConfig::instance()->iniFilePath()), storedBefore);
    QCOMPARE(SetupConfig::instance()->theme(), QStringLiteral("dark_blue"));
}

QTEST_MAIN(tst_MainWindowX11)
#include "tst_mainwindow_x11.moc"
