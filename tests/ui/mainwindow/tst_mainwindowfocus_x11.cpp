#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"
#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "mainobject.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/widgets/cstackedwidget.h"

namespace
{

// More presses than the window has controls: Tab must have come round by then.
constexpr int MaxPresses = 200;
// A pixel that differs by less is the same colour drawn twice.
constexpr int SameColour = 8;
// How far into a menu the pointer goes from the corner where the menu opened.
constexpr int MenuInset = 20;

enum Group { TitleBar, Page, Side, Elsewhere };

QString xy(const QPoint &point)
{
    return QStringLiteral("%1 %2").arg(point.x()).arg(point.y());
}

// Whether b may follow a in reading order: not in a row above a, and to the right of a when both
// share a row.
bool readsAfter(const QRect &a, const QRect &b)
{
    const bool sameRow = (b.center().y() >= a.top() && b.center().y() <= a.bottom()) ||
                         (a.center().y() >= b.top() && a.center().y() <= b.bottom());
    if (sameRow)
        return b.left() > a.left();
    return b.top() > a.top();
}

} // namespace

// Keyboard focus and the pointer's hover in the console's main window under a real X server and
// window manager, with the real pointer (xdotool).
class tst_MainWindowFocusX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tabVisitsGroupsInReadingOrder_data();
    void tabVisitsGroupsInReadingOrder();
    void hoverEndsWhenMenuClosesElsewhere_data();
    void hoverEndsWhenMenuClosesElsewhere();

private:
    Group groupOf(const QWidget *widget) const;
    QRect rectOf(const QWidget *widget) const;
    void press(int key);
    void runXdotool(const QString &script);

    QTemporaryDir m_dir;
    MainObject *m_mainObject = nullptr;
    MainWindow *m_window = nullptr;
};

void tst_MainWindowFocusX11::initTestCase()
{
    if (!X11Support::windowManagerRunning())
        QSKIP("needs a window manager (the test command starts openbox)");
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::copyConsoleConfig(m_dir.path()));
    SetupConfig::instance()->setAppDir(m_dir.path());
    QVERIFY(MainObject::applyTheme(SetupConfig::instance()->theme()));
    m_mainObject = new MainObject;
    m_window = m_mainObject->mainWindow();
    m_mainObject->showMainWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    QTRY_VERIFY(m_window->isFullyBuilt());
}

void tst_MainWindowFocusX11::cleanupTestCase()
{
    delete m_mainObject;
}

Group tst_MainWindowFocusX11::groupOf(const QWidget *widget) const
{
    if (m_window->fancyBar()->isAncestorOf(widget))
        return TitleBar;
    if (m_window->stackedWidget()->isAncestorOf(widget))
        return Page;
    if (m_window->dockWidget()->isAncestorOf(widget))
        return Side;
    return Elsewhere;
}

QRect tst_MainWindowFocusX11::rectOf(const QWidget *widget) const
{
    return QRect(widget->mapTo(m_window, QPoint(0, 0)), widget->size());
}

void tst_MainWindowFocusX11::press(int key)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_window, Qt::Key(key));
}

void tst_MainWindowFocusX11::runXdotool(const QString &script)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), script.split(QLatin1Char(' ')));
    // A menu's own event loop runs in this thread while the pointer moves.
    QVERIFY(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 30000));
    QCOMPARE(xdotool.exitCode(), 0);
}

void tst_MainWindowFocusX11::tabVisitsGroupsInReadingOrder_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("pageHasStops");
    // The wall's tiles name their cameras only; the wall takes the keys by a click.
    QTest::newRow("cameraWall") << int(MainWindow::CameraWallPage) << false;
    QTest::newRow("cameraPage") << 0 << true;
    // The camera page slid away from stays parked beside the stack, where nobody sees it.
    QTest::newRow("backToWall") << int(MainWindow::CameraWallPage) << false;
    QTest::newRow("chartPage") << int(MainWindow::ChartPage) << true;
}

// From the window, Tab goes through the title bar, the page shown and the side panel, each in
// reading order, and comes round; Shift+Tab goes the same way back. Tab once also landed on the
// page the stack had slid away from, out of sight, and on sixteen tile buttons that do nothing.
void tst_MainWindowFocusX11::tabVisitsGroupsInReadingOrder()
{
    QFETCH(int, page);
    QFETCH(bool, pageHasStops);
    CStackedWidget *stack = m_window->stackedWidget();
    stack->setCurrentIndex(page);
    QWidget *shown = stack->widget(page);
    QTRY_COMPARE(shown->geometry(), stack->rect());
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->setFocus(Qt::OtherFocusReason);

    QList<QWidget *> visited;
    for (int k = 0; k < MaxPresses; ++k) {
        press(Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        if (!visited.isEmpty() && focus == visited.first())
            break;
        QVERIFY2(!visited.contains(focus), "Tab came round without passing the first control");
        visited << focus;
    }
    QVERIFY(visited.size() < MaxPresses);
    QCOMPARE(groupOf(visited.first()), TitleBar);

    int pageStops = 0;
    bool sideStops = false;
    for (int k = 0; k < visited.size(); ++k) {
        QWidget *focus = visited.at(k);
        const Group group = groupOf(focus);
        QVERIFY2(group != Elsewhere, focus->metaObject()->className());
        if (group == Page) {
            ++pageStops;
            QVERIFY2(shown->isAncestorOf(focus), "a control of a page not shown");
        }
        sideStops = sideStops || group == Side;
        if (k == 0)
            continue;
        const Group before = groupOf(visited.at(k - 1));
        QVERIFY2(group >= before, "a group visited out of turn");
        if (group == before)
            QVERIFY2(
                readsAfter(rectOf(visited.at(k - 1)), rectOf(focus)),
                qPrintable(QStringLiteral("%1 before %2")
                               .arg(QLatin1String(visited.at(k - 1)->metaObject()->className()),
                                    QLatin1String(focus->metaObject()->className()))));
    }
    QCOMPARE(pageStops > 0, pageHasStops);
    QVERIFY(sideStops);

    // Back from the first control: the last, and so on backwards.
    for (int k = visited.size() - 1; k >= 0; --k) {
        press(Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), visited.at(k));
    }
}

void tst_MainWindowFocusX11::hoverEndsWhenMenuClosesElsewhere_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("wallTile") << "wallTile";
    QTest::newRow("themeButton") << "themeButton";
}

// The pointer opens a menu over a control, leaves through the menu and the menu closes with the
// pointer elsewhere: the control no longer looks hovered. Both kept their hover frame once.
void tst_MainWindowFocusX11::hoverEndsWhenMenuClosesElsewhere()
{
    QFETCH(QString, target);
    CameraPanel *panel = m_window->cameraPanel();
    m_window->stackedWidget()->setCurrentIndex(MainWindow::CameraWallPage);
    QTRY_COMPARE(panel->geometry(), m_window->stackedWidget()->rect());
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    QWidget *control = nullptr;
    QWidget *twin = nullptr; // looks the same and was never under the pointer
    QPoint probe;
    int button = 1;
    if (target == QLatin1String("wallTile")) {
        control = panel->tileAt(5);
        twin = panel->tileAt(0);
        button = 3;
        // The tile's frame, in the middle of its left side.
        probe = QPoint(0, control->height() / 2);
    } else {
        const QList<QToolButton *> buttons = m_window->fancyBar()->findChildren<QToolButton *>(
            QStringLiteral("FancyBarAdditionalButton"));
        for (QToolButton *candidate : buttons) {
            const bool theme = candidate->defaultAction() &&
                               candidate->defaultAction()->menu() == m_window->styleMenu();
            (theme ? control : twin) = candidate;
        }
        // The button's background beside its glyph.
        probe = QPoint(3, control->height() / 2);
    }
    QVERIFY(control && twin);
    const QPoint centre = control->mapToGlobal(control->rect().center());
    // The menu opens down and to the right of the press, or below the button.
    const QPoint opensAt =
        button == 3 ? centre : control->mapToGlobal(QPoint(0, control->height()));
    const QPoint inMenu = opensAt + QPoint(MenuInset, MenuInset);
    const QPoint away =
        m_window->dockWidget()->mapToGlobal(m_window->dockWidget()->rect().center());
    QMenu *menu = button == 3 ? panel->menu() : m_window->styleMenu();
    QSignalSpy shown(menu, &QMenu::aboutToShow);
    QSignalSpy hidden(menu, &QMenu::aboutToHide);

    // One script: the menu runs its own event loop until the Escape at its end closes it.
    runXdotool(QStringLiteral("mousemove %1 sleep 0.3 click %2 sleep 0.5 mousemove %3 sleep 0.3 "
                              "mousemove %4 sleep 0.3 key Escape")
                   .arg(xy(centre))
                   .arg(button)
                   .arg(xy(inMenu), xy(away)));
    QTRY_COMPARE(hidden.count(), 1);
    QCOMPARE(shown.count(), 1);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    QTRY_VERIFY(!control->underMouse());
    auto pixel = [this](QWidget *widget, const QPoint &point) {
        return m_window->grab(QRect(widget->mapTo(m_window, point), QSize(1, 1)))
            .toImage()
            .pixelColor(0, 0);
    };
    QTRY_VERIFY2(TestSupport::near(pixel(control, probe), pixel(twin, probe), SameColour),
                 qPrintable(QStringLiteral("%1, not %2")
                                .arg(pixel(control, probe).name(), pixel(twin, probe).name())));
}

QTEST_MAIN(tst_MainWindowFocusX11)
#include "tst_mainwindowfocus_x11.moc"
