#include <QApplication>
#include <QDockWidget>
#include <QGridLayout>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QtTest>

#include "../../testsupport.h"
#include "../../x11support.h"
#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "mainobject.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/sidepanel.h"
#include "ui/mainwindow/treewidget.h"
#include "ui/widgets/cstackedwidget.h"
#include "wall/wallarrangement.h"

namespace
{

// The steps of the pointer from one point to the next: past the drag distance at once, then on.
constexpr int Steps = 4;

QString xy(const QPoint &point)
{
    return QStringLiteral("%1 %2").arg(point.x()).arg(point.y());
}

} // namespace

// Arranging the camera wall with the real pointer of a real X server (xdotool), and its full
// screen under a real window manager.
class tst_MainWindowWallX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void dragTileOntoTile();
    void dragCameraFromTree();
    void fullScreenAndBack();

private:
    // Presses the left button at from, moves to to and releases it there, as a hand would.
    void drag(const QPoint &from, const QPoint &to);
    QString storedArrangement() const;

    QTemporaryDir m_dir;
    MainObject *m_mainObject = nullptr;
    MainWindow *m_window = nullptr;
    CameraPanel *m_panel = nullptr;
};

void tst_MainWindowWallX11::initTestCase()
{
    if (!X11Support::windowManagerRunning())
        QSKIP("needs a window manager (the test command starts openbox)");
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::copyConsoleConfig(m_dir.path()));
    SetupConfig::instance()->setAppDir(m_dir.path());
    QVERIFY(MainObject::applyTheme(SetupConfig::instance()->theme()));
    m_mainObject = new MainObject;
    m_window = m_mainObject->mainWindow();
    m_panel = m_window->cameraPanel();
    m_mainObject->showMainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    QTRY_COMPARE(m_panel->geometry(), m_window->stackedWidget()->rect());
}

void tst_MainWindowWallX11::cleanupTestCase()
{
    delete m_mainObject;
}

void tst_MainWindowWallX11::init()
{
    m_panel->setArrangement(WallArrangement());
    m_window->stackedWidget()->setCurrentIndex(MainWindow::CameraWallPage);
    QTRY_COMPARE(m_panel->geometry(), m_window->stackedWidget()->rect());
    // The tiles are where the grid puts them before the pointer aims at them.
    QTRY_COMPARE(m_panel->tileAt(0)->geometry().topLeft(),
                 m_panel->gridLayout()->cellRect(0, 0).topLeft());
}

QString tst_MainWindowWallX11::storedArrangement() const
{
    QSettings settings(SetupConfig::instance()->iniFilePath(), QSettings::IniFormat);
    return settings.value(QStringLiteral("Camera/Arrangement")).toString();
}

void tst_MainWindowWallX11::drag(const QPoint &from, const QPoint &to)
{
    QString script = QStringLiteral("mousemove %1 sleep 0.2 mousedown 1").arg(xy(from));
    for (int k = 1; k <= Steps; ++k)
        script += QStringLiteral(" sleep 0.1 mousemove %1").arg(xy(from + (to - from) * k / Steps));
    script +=
        QStringLiteral(" sleep 0.3 mousemove %1 sleep 0.3 mouseup 1").arg(xy(to + QPoint(1, 1)));
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), script.split(QLatin1Char(' ')));
    // The drag runs in this thread's event loop while the pointer moves.
    QVERIFY(QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 30000));
    QCOMPARE(xdotool.exitCode(), 0);
}

// A tile dragged onto another swaps their channels: each tile keeps its own texts and the
// stored arrangement follows at once. The drag starts over the gap between tiles, so the page
// must take a drag that enters where no tile is.
void tst_MainWindowWallX11::dragTileOntoTile()
{
    CameraDisplay *first = m_panel->tileAt(0);
    CameraDisplay *sixth = m_panel->tileAt(5);
    QCOMPARE(first->index(), QStringLiteral("C01"));
    const QRect firstCell = first->geometry();
    const QRect sixthCell = sixth->geometry();

    drag(first->mapToGlobal(first->rect().center()), sixth->mapToGlobal(sixth->rect().center()));

    QTRY_COMPARE(m_panel->arrangement().channelAt(0), 6);
    QCOMPARE(m_panel->arrangement().channelAt(5), 1);
    QCOMPARE(m_panel->tileAt(0), sixth);
    QCOMPARE(sixth->index(), QStringLiteral("C06"));
    QCOMPARE(sixth->videoText(), QStringLiteral("通道 6"));
    QTRY_COMPARE(sixth->geometry(), firstCell);
    QCOMPARE(first->geometry(), sixthCell);
    QCOMPARE(storedArrangement(), QStringLiteral("6 2 3 4 5 1 7 8 9 10 11 12 13 14 15 16"));

    // The tile tells the channel it shows, so the detail page named on it is that channel's.
    QSignalSpy clicked(sixth, &CameraDisplay::clickIndex);
    QTest::mouseClick(sixth->findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton")),
                      Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toString(), QStringLiteral("C06"));
    const int page = MainWindow::pageIndexOf(QStringLiteral("相机6"));
    QCOMPARE(m_window->stackedWidget()
                 ->widget(page)
                 ->findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton"))
                 ->text(),
             QStringLiteral("C06"));
}

// A camera dragged from the navigation tree onto a tile shows there; the tile it came from takes
// the tile's old channel. The tree keeps all its items.
void tst_MainWindowWallX11::dragCameraFromTree()
{
    TreeWidget *tree = m_window->sidePanel()->treeWidget();
    const int itemsBefore = tree->topLevelItem(0)->childCount();
    tree->expandAll();
    QTreeWidgetItem *item =
        tree->findItems(QStringLiteral("相机3"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QVERIFY(item);
    tree->scrollToItem(item);
    const QPoint from = tree->viewport()->mapToGlobal(tree->visualItemRect(item).center());
    CameraDisplay *target = m_panel->tileAt(0);
    const QRect cell = target->geometry();

    drag(from, target->mapToGlobal(target->rect().center()));

    QTRY_COMPARE(m_panel->arrangement().channelAt(0), 3);
    QCOMPARE(m_panel->arrangement().channelAt(2), 1);
    QCOMPARE(m_panel->tileAt(0)->index(), QStringLiteral("C03"));
    QTRY_COMPARE(m_panel->tileAt(0)->geometry(), cell);
    QCOMPARE(storedArrangement(), QStringLiteral("3 2 1 4 5 6 7 8 9 10 11 12 13 14 15 16"));
    QCOMPARE(tree->topLevelItem(0)->childCount(), itemsBefore);
    QCOMPARE(m_window->stackedWidget()->currentIndex(), int(MainWindow::CameraWallPage));
}

// F11: the window manager's full screen with nothing but the wall; Escape: back as it was.
void tst_MainWindowWallX11::fullScreenAndBack()
{
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    const QRect maximised = m_window->frameGeometry();
    QTest::keyClick(m_window, Qt::Key_F11);

    QTRY_VERIFY(m_window->windowState() & Qt::WindowFullScreen);
    QTRY_COMPARE(m_window->frameGeometry(), m_window->screen()->geometry());
    QVERIFY(!m_window->fancyBar()->isVisible());
    QVERIFY(!m_window->dockWidget()->isVisible());
    QTRY_COMPARE(m_panel->mapTo(m_window, QPoint(0, 0)), QPoint(0, 0));
    QTRY_COMPARE(m_panel->size(), m_window->size());
    // The keys that leave reach the wall, wherever the focus was before.
    QTRY_COMPARE(QApplication::focusWidget(), m_panel);

    QTest::keyClick(m_panel, Qt::Key_Escape);
    QTRY_VERIFY(!(m_window->windowState() & Qt::WindowFullScreen));
    QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    QTRY_COMPARE(m_window->frameGeometry(), maximised);
    QVERIFY(m_window->fancyBar()->isVisible());
    QVERIFY(m_window->dockWidget()->isVisible());
}

QTEST_MAIN(tst_MainWindowWallX11)
#include "tst_mainwindowwall_x11.moc"
