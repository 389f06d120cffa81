#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"
#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "mainobject.h"
#include "stripsupport.h"
#include "ui/camera/camerapanel.h"
#include "ui/common/additionalwidget.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/sidepanel.h"
#include "ui/mainwindow/treewidget.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"

namespace
{

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

// Empty when the controls of the title bar lie apart from each other; otherwise the first two
// that overlap.
QString overlappingControls(FancyBar *bar)
{
    QList<QWidget *> controls;
    for (QWidget *child : bar->findChildren<QWidget *>()) {
        if (child->isVisible() && (qobject_cast<QAbstractButton *>(child) ||
                                   child->objectName() == QLatin1String("AdditionalWidget")))
            controls << child;
    }
    for (int i = 0; i < controls.size(); ++i) {
        const QRect a(controls[i]->mapTo(bar, QPoint(0, 0)), controls[i]->size());
        for (int j = i + 1; j < controls.size(); ++j) {
            const QRect b(controls[j]->mapTo(bar, QPoint(0, 0)), controls[j]->size());
            if (a.intersects(b) && !controls[i]->isAncestorOf(controls[j]) &&
                !controls[j]->isAncestorOf(controls[i]))
                return controls[i]->objectName() + QLatin1String(" and ") +
                       controls[j]->objectName();
        }
    }
    return QString();
}

// Where a window lies in the window manager's stacking order, bottom first; -1 when it is not
// managed.
int stackingIndex(const QWidget *window)
{
    return X11Support::clientWindows("_NET_CLIENT_LIST_STACKING").indexOf(window->winId());
}

// A click as the operator makes it, through the X server: the window manager sees it first.
void realClick(const QWidget *widget, const QPoint &pos)
{
    const QPoint at = widget->mapToGlobal(pos);
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                       QString::number(at.x()), QString::number(at.y()), QStringLiteral("click"),
                       QStringLiteral("1")});
}

int messages = 0;
QtMessageHandler previousHandler = nullptr;

void countMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    ++messages;
    previousHandler(type, context, message);
}

} // namespace

// The main window in a real X session with a window manager.
class tst_MainWindowX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startsMaximisedWithWallSlidIn();
    void dockFloatsInsideButNeverCloses();
    void navigation_data();
    void navigation();
    void titleBar();
    void middleButtonOpensItsBox();
    void styleMenuRestylesWithoutStoring_data();
    void styleMenuRestylesWithoutStoring();
    void auxiliaryWindowsPlaced_data();
    void auxiliaryWindowsPlaced();
    void restoredConsoleIsUsable();
    void coveredWindowRaisedByItsButton_data();
    void coveredWindowRaisedByItsButton();

private:
    QToolButton *styleButton() const;
    // The main window's auxiliary window of the class (not the login form shown at start-up).
    QWidget *auxiliaryWindow(const char *className) const;

    QTemporaryDir m_dir;
    MainObject *m_mainObject = nullptr;
};

void tst_MainWindowX11::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::copyConsoleConfig(m_dir.path()));
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

// Maximised and frameless from the start. The first slide runs while the window manager
// maximises the window, so the stack grows under it: the wall must still end exactly in place,
// with the first page parked one width to the left.
void tst_MainWindowX11::startsMaximisedWithWallSlidIn()
{
    MainWindow *window = m_mainObject->mainWindow();
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!window->windowIcon().isNull());
    QTRY_VERIFY(window->windowState() & Qt::WindowMaximized);
    QTRY_COMPARE(window->frameGeometry(), window->screen()->availableGeometry());
    CStackedWidget *stack = window->stackedWidget();
    QCOMPARE(stack->currentIndex(), int(MainWindow::CameraWallPage));
    QTRY_COMPARE(window->cameraPanel()->geometry(), stack->rect());
    QCOMPARE(stack->widget(0)->geometry(), stack->rect().translated(-stack->width(), 0));
}

// The side panel floats and docks on either side but has no close button. Floated, it once kept
// the docked height and place, its buttons below the screen's edge; floated again after a move
// there, it came back partly below the edge.
void tst_MainWindowX11::dockFloatsInsideButNeverCloses()
{
    MainWindow *window = m_mainObject->mainWindow();
    QDockWidget *dock = window->dockWidget();
    QCOMPARE(window->dockWidgetArea(dock), Qt::RightDockWidgetArea);
    QVERIFY(!dock->findChild<QWidget *>(QStringLiteral("qt_dockwidget_closebutton"))->isVisible());
    QTRY_VERIFY(window->windowState() & Qt::WindowMaximized);
    const QRect available = window->screen()->availableGeometry();
    QTRY_VERIFY(dock->height() > available.height() * 9 / 10);
    QTest::mouseClick(dock->findChild<QWidget *>(QStringLiteral("qt_dockwidget_floatbutton")),
                      Qt::LeftButton);
    QTRY_VERIFY(dock->isFloating());
    QVERIFY(QTest::qWaitForWindowExposed(dock));
    QTRY_COMPARE(dock->frameGeometry() & available, dock->frameGeometry());
    QVERIFY(dock->height() >= dock->minimumSizeHint().height());

    // Moved partly below the screen, hidden and shown again.
    dock->move(dock->x(), available.bottom() - dock->frameGeometry().height() / 2);
    QTRY_VERIFY(!available.contains(dock->frameGeometry()));
    dock->hide();
    dock->show();
    QTRY_COMPARE(dock->frameGeometry() & available, dock->frameGeometry());

    dock->setFloating(false);
    window->addDockWidget(Qt::LeftDockWidgetArea, dock);
    QTRY_VERIFY(dock->geometry().right() < window->centralWidget()->geometry().left());
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    QTRY_VERIFY(!dock->isFloating());
}

// Navigation as the operator does it: a click on an item of the side panel's tree selects the
// page the item names; a text that names no page changes nothing and logs nothing. (Which text
// names which page is a table of its own without a window.)
void tst_MainWindowX11::navigation_data()
{
    QTest::addColumn<QString>("text"); // an item's text, or one the panel sends without an item
    QTest::addColumn<int>("page");     // -1: none

    const QList<QPair<const char *, int>> rows{{"相机3", 2}, {"相机16", 15}, {"相机", 16},
                                               {"图表", 17}, {"NG画面", 18}, {"A盘", -1},
                                               {"主体", -1}, {"相机17", -1}, {"", -1}};
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString::fromUtf8(row.first) << row.second;
}

void tst_MainWindowX11::navigation()
{
    QFETCH(QString, text);
    QFETCH(int, page);
    MainWindow *window = m_mainObject->mainWindow();

    CStackedWidget *stack = window->stackedWidget();
    const int start = page == 17 ? 16 : 17;
    stack->setCurrentIndex(start);
    TreeWidget *tree = window->sidePanel()->treeWidget();
    tree->expandAll();
    QTreeWidgetItem *item = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QSignalSpy clicked(window->sidePanel(), &SidePanel::signalClicked);
    QSignalSpy changed(stack, &CStackedWidget::currentChanged);
    messages = 0;
    previousHandler = qInstallMessageHandler(countMessage);
    if (item) {
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
    } else {
        emit window->sidePanel()->signalClicked(text);
    }
    qInstallMessageHandler(previousHandler);

    QCOMPARE(messages, 0);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toString(), text);
    QCOMPARE(stack->currentIndex(), page < 0 ? start : page);
    QCOMPARE(changed.count(), page < 0 ? 0 : 1);
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

QWidget *tst_MainWindowX11::auxiliaryWindow(const char *className) const
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits(className) && w != m_mainObject->loginWidget())
            return w;
    }
    return nullptr;
}

void tst_MainWindowX11::titleBar()
{
    MainWindow *window = m_mainObject->mainWindow();
    FancyBar *bar = window->fancyBar();
    QCOMPARE(bar->mapTo(window, QPoint(0, 0)), QPoint(0, 0));
    auto *logo = bar->findChild<QToolButton *>(QStringLiteral("FancyBarLogoButton"));
    QVERIFY(logo && !logo->icon().pixmap(logo->iconSize()).isNull());

    // The middle button centred in the bar, the style button left of it.
    QPushButton *middle = window->middleButton();
    QVERIFY(middle->isVisible());
    QVERIFY(qAbs(middle->mapTo(bar, middle->rect().center()).x() - bar->width() / 2) <= 1);

    QToolButton *style = styleButton();
    QVERIFY(style && style->isVisible());
    QVERIFY(style->x() < middle->mapTo(bar, QPoint(0, 0)).x());
}

void tst_MainWindowX11::middleButtonOpensItsBox()
{
    MainWindow *window = m_mainObject->mainWindow();
    bool boxWasModal = false;
    whenModalIsUp([&](QWidget *modal) {
        boxWasModal = qobject_cast<QMessageBox *>(modal) && modal->isModal();
        modal->close();
    });
    QTest::mouseClick(window->middleButton(), Qt::LeftButton);
    QVERIFY(boxWasModal);

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

// The auxiliary windows once opened at 0,0, over the title-bar button that opened them.
void tst_MainWindowX11::auxiliaryWindowsPlaced_data()
{
    QTest::addColumn<QString>("stripButton");
    QTest::addColumn<QString>("popupButton");
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<bool>("belowButton"); // otherwise centred on the main window

    QTest::newRow("logBelowItsButton") << "日志"
                                       << "" << QByteArray("LogWidget") << true;
    QTest::newRow("loginCentred") << "登录"
                                  << "" << QByteArray("LoginWidget") << false;
    QTest::newRow("demoCentred") << "系统"
                                 << "功能1" << QByteArray("FuncWidget1") << false;
    QTest::newRow("tableCentred") << "系统"
                                  << "功能2" << QByteArray("TableWidget") << false;
}

void tst_MainWindowX11::auxiliaryWindowsPlaced()
{
    QFETCH(QString, stripButton);
    QFETCH(QString, popupButton);
    QFETCH(QByteArray, window);
    QFETCH(bool, belowButton);
    MainWindow *main = m_mainObject->mainWindow();
    QTRY_VERIFY(main->windowState() & Qt::WindowMaximized);
    QTRY_VERIFY(main->isFullyBuilt()); // the auxiliary windows are built after the first frame
    QWidget *opened = auxiliaryWindow(window.constData());
    QVERIFY(opened);
    AdditionalWidget *strip = main->additionalWidget();
    click(strip, stripButton);
    if (!popupButton.isEmpty()) {
        QWidget *popup = topLevel("PopupMenu");
        QTRY_VERIFY(popup->isVisible());
        click(popup, popupButton);
    }
    QVERIFY(QTest::qWaitForWindowExposed(opened));

    const QRect frame = opened->frameGeometry();
    QCOMPARE(frame & main->screen()->availableGeometry(), frame);
    if (belowButton) {
        QWidget *button = strip->logButton();
        QTRY_COMPARE(opened->frameGeometry().topLeft(),
                     button->mapToGlobal(QPoint(0, button->height())));
    } else {
        QVERIFY((frame.center() - main->frameGeometry().center()).manhattanLength() <= 2);
    }
    opened->hide();
}

// The maximised console's restore button once shrank it to its minimum size (264x643 on
// 1920x1080), the middle button over the window buttons.
void tst_MainWindowX11::restoredConsoleIsUsable()
{
    MainWindow *window = m_mainObject->mainWindow();
    QTRY_VERIFY(window->windowState() & Qt::WindowMaximized);
    auto *maximize =
        window->fancyBar()->findChild<QToolButton *>(QStringLiteral("FancyTitleBarMaximizeButton"));
    QVERIFY(maximize);
    const QRect available = window->screen()->availableGeometry();
    QTest::mouseClick(maximize, Qt::LeftButton);
    QTRY_VERIFY(!(window->windowState() & Qt::WindowMaximized));
    QTRY_VERIFY(window->frameGeometry().width() < available.width());

    // About three quarters of the screen, centred.
    const QRect frame = window->frameGeometry();
    QCOMPARE(frame & available, frame);
    QVERIFY(frame.width() * 10 >= available.width() * 7 &&
            frame.height() * 10 >= available.height() * 7);
    QVERIFY((frame.center() - available.center()).manhattanLength() <= 2);
    QString overlap = overlappingControls(window->fancyBar());
    QVERIFY2(overlap.isEmpty(), qPrintable(overlap));

    // At its narrowest the bar still keeps its controls apart.
    window->resize(1, window->height());
    QTRY_COMPARE(window->width(), window->minimumWidth());
    overlap = overlappingControls(window->fancyBar());
    QVERIFY2(overlap.isEmpty(), qPrintable(overlap));

    // Maximised again, the console keeps the normal geometry it had for the next start.
    const QRect normal(available.topLeft() + QPoint(60, 40), QSize(1000, 700));
    window->setGeometry(normal);
    QTRY_COMPARE(window->geometry(), normal);
    QTest::mouseClick(maximize, Qt::LeftButton);
    QTRY_VERIFY(window->windowState() & Qt::WindowMaximized);
    QSettings stored(SetupConfig::instance()->iniFilePath(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Window/NormalGeometry")).toRect(), normal);
}

// The log window and the login form once dropped behind the main window at the next click on
// it, and their buttons then hid them instead of bringing them back.
void tst_MainWindowX11::coveredWindowRaisedByItsButton_data()
{
    QTest::addColumn<QString>("stripButton");
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<bool>("buttonHidesItInFront");

    QTest::newRow("log") << "日志" << QByteArray("LogWidget") << true;
    QTest::newRow("login") << "登录" << QByteArray("LoginWidget") << false;
}

void tst_MainWindowX11::coveredWindowRaisedByItsButton()
{
    QFETCH(QString, stripButton);
    QFETCH(QByteArray, window);
    QFETCH(bool, buttonHidesItInFront);
    if (!X11Support::windowManagerRunning() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("Needs a window manager to stack the windows, and xdotool to click as a user.");
    MainWindow *main = m_mainObject->mainWindow();
    QTRY_VERIFY(main->windowState() & Qt::WindowMaximized);
    QTRY_COMPARE(main->frameGeometry(), main->screen()->availableGeometry());
    QAbstractButton *button = nullptr;
    for (QAbstractButton *b : main->additionalWidget()->findChildren<QAbstractButton *>())
        button = b->text() == stripButton ? b : button;
    QVERIFY(button);
    // The window manager acts on a click before the console sees it: wait for the console.
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    realClick(button, button->rect().center());
    QTRY_COMPARE(clicked.count(), 1);
    QWidget *opened = auxiliaryWindow(window.constData());
    QVERIFY(opened);
    QTRY_VERIFY(opened->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(opened));

    // A click on the main window leaves it above the main window.
    QWidget *page = main->stackedWidget();
    realClick(page, QPoint(page->width() / 10, page->height() * 9 / 10)); // where neither lies
    QTRY_VERIFY(main->isActiveWindow());
    QTRY_VERIFY(stackingIndex(opened) > stackingIndex(main));

    // Covered by a window not of the console, it comes back with its button, in one click.
    QWidget other(nullptr, Qt::FramelessWindowHint); // a frame could reach over the button
    other.setWindowTitle(QStringLiteral("other"));
    other.setGeometry(opened->frameGeometry().adjusted(-20, -20, 20, 20));
    other.show();
    other.raise();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QTRY_VERIFY(stackingIndex(&other) > stackingIndex(opened));
    realClick(button, button->rect().center());
    QTRY_COMPARE(clicked.count(), 2);
    QTRY_VERIFY(stackingIndex(opened) > stackingIndex(&other));
    QVERIFY(opened->isVisible());

    // In front, it goes with its button, if its button hides it.
    realClick(button, button->rect().center());
    QTRY_COMPARE(clicked.count(), 3);
    QCOMPARE(opened->isVisible(), !buttonHidesItInFront);
    opened->hide();
}

QTEST_MAIN(tst_MainWindowX11)
#include "tst_mainwindow_x11.moc"
