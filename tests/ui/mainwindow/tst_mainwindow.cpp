#include <QtTest>
#include <QtWidgets>

#include "common/config/setupconfig.h"
#include "moments/momentlistmodel.h"
#include "stripsupport.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/chartpanel.h"
#include "ui/common/additionalwidget.h"
#include "ui/common/popupmenu.h"
#include "ui/login/logininfo.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/sidepanel.h"
#include "ui/moments/momentspage.h"
#include "ui/moments/momentstrip.h"
#include "ui/video/videoview.h"
#include "ui/widgets/cstackedwidget.h"
#include "video/videochannel.h"
#include "video/videochannelset.h"

Q_DECLARE_METATYPE(VideoChannel::Stream)

// The user strip of the main window and the windows it opens; slides are waited for until their
// animations are gone (each is deleted when it stops).
class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_window.reset(); }
    void stripFitsTitleBar();
    void popupSlides();
    void cardFollowsAvatarHover();
    void stripWindowsGoWithWindow_data();
    void stripWindowsGoWithWindow();
    void stripOpensWindows_data();
    void stripOpensWindows();
    void cameraPageLeadsToItsMoments();
    void pageIndexOf_data();
    void pageIndexOf();
    void pagesWiredWhenBuilt_data();
    void pagesWiredWhenBuilt();
    void onlyTheShownPageAsksForPictures_data();
    void onlyTheShownPageAsksForPictures();

private:
    QTemporaryDir m_dir;
    QScopedPointer<MainWindow> m_window;
};

void tst_MainWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
    // The moments' folder: the user's data folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    // Cameras that never start a pipeline: what the pages ask for is all that is looked at.
    SetupConfig::instance()->setValue(QStringLiteral("Channel01/Source"),
                                      QStringLiteral("test:plaid"));
    SetupConfig::instance()->setValue(QStringLiteral("Channel03/Source"),
                                      QStringLiteral("test:plaid"));
}

// The window reaches its maximised size through the event loop; positions are taken after.
void tst_MainWindow::init()
{
    // The page mapping is a rule of its own that needs no window.
    if (QTest::currentTestFunction() == QByteArrayLiteral("pageIndexOf") ||
        QTest::currentTestFunction() == QByteArrayLiteral("pagesWiredWhenBuilt"))
        return;
    m_window.reset(new MainWindow);
    m_window->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.data()));
    QTRY_COMPARE(m_window->geometry(), m_window->screen()->availableGeometry());
    // The auxiliary windows are looked up among the top-level windows, built after the first
    // frame.
    QTRY_VERIFY(m_window->isFullyBuilt());
}

// Margins around the three 50 px buttons would cut them off in the 50 px strip.
void tst_MainWindow::stripFitsTitleBar()
{
    AdditionalWidget *strip = m_window->additionalWidget();
    for (QAbstractButton *button : strip->findChildren<QAbstractButton *>())
        QVERIFY2(strip->rect().contains(button->geometry()), qPrintable(button->text()));
}

// The popup slides down and up with "系统". Closed by the window manager (Alt+F4), it once
// ignored the next "系统".
void tst_MainWindow::popupSlides()
{
    auto *popup = qobject_cast<PopupMenu *>(topLevel("PopupMenu"));
    const QPoint down =
        m_window->additionalWidget()->mapToGlobal(QPoint(0, MainWindow::StripHeight));
    click(m_window->additionalWidget(), QStringLiteral("系统"));
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());

    // Dropped again while it goes up: the retract must not hide it when it would have ended.
    click(m_window->additionalWidget(), QStringLiteral("系统"));
    QVERIFY(popup->findChild<QPropertyAnimation *>() && !popup->isOpened());
    click(m_window->additionalWidget(), QStringLiteral("系统"));
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    QVERIFY(popup->isVisible() && popup->isOpened());
    QCOMPARE(popup->pos(), down);

    click(popup, QStringLiteral("返回"));
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    QVERIFY(!popup->isVisible() && !popup->isOpened());

    click(m_window->additionalWidget(), QStringLiteral("系统"));
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    popup->close();
    click(m_window->additionalWidget(), QStringLiteral("系统"));
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    QVERIFY(popup->isVisible() && popup->isOpened());
}

// The card drops down while the pointer is on the avatar. Hovering the avatar with the popup
// open once dropped the card over the popup's buttons.
void tst_MainWindow::cardFollowsAvatarHover()
{
    auto *card = qobject_cast<LoginInfo *>(topLevel("LoginInfo"));
    AdditionalWidget *strip = m_window->additionalWidget();
    const QPoint head = strip->headButtonGeometry().center();
    const QPoint away = m_window->rect().center();

    // Left during the drop-down: the card comes down, then goes at once.
    QTest::mouseMove(m_window.data(), away);
    QTest::mouseMove(strip, head);
    QVERIFY(card->isVisible() && card->isShown() && card->isAnimating());
    QTest::mouseMove(m_window.data(), away);
    QTRY_VERIFY(!strip->isHeadUnderMouse());
    QVERIFY(card->isVisible());
    QTRY_VERIFY(!card->findChild<QPropertyAnimation *>());
    QVERIFY(!card->isVisible() && !card->isShown() && !card->isAnimating());

    // Staying on the avatar: the card stays down until the pointer leaves.
    QTest::mouseMove(strip, head);
    QTRY_VERIFY(!card->findChild<QPropertyAnimation *>());
    QVERIFY(card->isVisible());
    QCOMPARE(card->pos(), strip->mapToGlobal(QPoint(0, MainWindow::StripHeight)));
    QTest::mouseMove(m_window.data(), away);
    QTRY_VERIFY(!card->findChild<QPropertyAnimation *>());
    QVERIFY(!card->isVisible() && !card->isShown());

    auto *popup = qobject_cast<PopupMenu *>(topLevel("PopupMenu"));
    QTest::mouseMove(strip, head);
    QVERIFY(card->isVisible());
    click(strip, QStringLiteral("系统"));
    QVERIFY(!card->isVisible());
    QTest::mouseMove(m_window.data(), away);
    QTest::mouseMove(strip, head);
    QTRY_VERIFY(!popup->findChild<QPropertyAnimation *>());
    QVERIFY(popup->isVisible() && !card->isVisible());
}

// Minimising the console once left the popup floating alone on the desktop, and a drag of the
// window left it behind.
void tst_MainWindow::stripWindowsGoWithWindow_data()
{
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<bool>("minimise"); // otherwise the window is moved

    QTest::newRow("popupMinimised") << QByteArray("PopupMenu") << true;
    QTest::newRow("popupMoved") << QByteArray("PopupMenu") << false;
    QTest::newRow("cardMinimised") << QByteArray("LoginInfo") << true;
    QTest::newRow("cardMoved") << QByteArray("LoginInfo") << false;
}

void tst_MainWindow::stripWindowsGoWithWindow()
{
    QFETCH(QByteArray, window);
    QFETCH(bool, minimise);
    QWidget *shown = topLevel(window.constData());
    AdditionalWidget *strip = m_window->additionalWidget();
    QTest::mouseMove(m_window.data(), m_window->rect().center());
    if (window == "PopupMenu")
        click(strip, QStringLiteral("系统"));
    else
        QTest::mouseMove(strip, strip->headButtonGeometry().center());
    QTRY_VERIFY(!shown->findChild<QPropertyAnimation *>());
    QVERIFY(shown->isVisible());

    if (minimise)
        m_window->showMinimized();
    else
        m_window->move(m_window->pos() + QPoint(40, 30));
    QTRY_VERIFY(!shown->isVisible());
    QVERIFY(!shown->findChild<QPropertyAnimation *>());
}

void tst_MainWindow::stripOpensWindows_data()
{
    QTest::addColumn<QString>("stripButton");
    QTest::addColumn<QString>("popupButton");
    QTest::addColumn<QByteArray>("window");
    QTest::addColumn<QString>("closer"); // clicked in the window, or in the strip for the log

    QTest::newRow("demoWindow") << "系统"
                                << "功能1" << QByteArray("FuncWidget1") << "";
    QTest::newRow("tableWindow") << "系统"
                                 << "功能2" << QByteArray("TableWidget") << "";
    QTest::newRow("logToggles") << "日志"
                                << "" << QByteArray("LogWidget") << "日志";
    // Without "返回" the form could only be left by logging in.
    QTest::newRow("loginReturns") << "登录"
                                  << "" << QByteArray("LoginWidget") << "返回";
}

void tst_MainWindow::stripOpensWindows()
{
    QFETCH(QString, stripButton);
    QFETCH(QString, popupButton);
    QFETCH(QByteArray, window);
    QFETCH(QString, closer);
    QWidget *opened = topLevel(window.constData());
    auto *popup = qobject_cast<PopupMenu *>(topLevel("PopupMenu"));
    click(m_window->additionalWidget(), stripButton);
    click(popup, popupButton);
    QVERIFY(opened->isVisible());
    QVERIFY(!popup->isOpened());
    // The window manager activates the window pressed on, before the press arrives.
    if (closer == stripButton) {
        m_window->activateWindow();
        QTRY_VERIFY(m_window->isActiveWindow());
    }
    click(closer == stripButton ? m_window->additionalWidget() : opened, closer);
    QCOMPARE(opened->isVisible(), closer.isEmpty());
}

// A camera page's strip leads to the moments page with that camera's moments; Esc on the list
// returns to the camera page.
void tst_MainWindow::cameraPageLeadsToItsMoments()
{
    const int camera = 3;
    CStackedWidget *stack = m_window->stackedWidget();
    stack->setCurrentIndex(camera - 1);
    auto *strip = stack->widget(camera - 1)->findChild<MomentStrip *>();
    QVERIFY(strip);
    QTest::mouseClick(strip->findChild<QPushButton *>(QStringLiteral("MomentStripAllButton")),
                      Qt::LeftButton);
    QCOMPARE(stack->currentIndex(), MainWindow::MomentPage);
    MomentsPage *page = m_window->momentsPage();
    QVERIFY(page && page->isVisible());
    QCOMPARE(page->model()->filter().camera, camera);
    QTest::keyClick(page->listView(), Qt::Key_Escape);
    QCOMPARE(stack->currentIndex(), camera - 1);
}

// The texts of the side panel's tree (and any other text it may send) to the page they select.
void tst_MainWindow::pageIndexOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("page"); // -1: none

    QTest::newRow("firstCamera") << QStringLiteral("相机1") << 0;
    QTest::newRow("twelfthCamera") << QStringLiteral("相机12") << 11;
    QTest::newRow("lastCamera") << QStringLiteral("相机16") << 15;
    QTest::newRow("cameraWall") << QStringLiteral("相机") << int(MainWindow::CameraWallPage);
    QTest::newRow("chart") << QStringLiteral("图表") << int(MainWindow::ChartPage);
    QTest::newRow("moments") << QStringLiteral("NG画面") << int(MainWindow::MomentPage);
    QTest::newRow("cameraZero") << QStringLiteral("相机0") << -1;
    QTest::newRow("pastLastCamera") << QStringLiteral("相机17") << -1;
    QTest::newRow("negativeCamera") << QStringLiteral("相机-1") << -1;
    QTest::newRow("notANumber") << QStringLiteral("相机x") << -1;
    QTest::newRow("otherTreeItem") << QStringLiteral("A盘") << -1;
    QTest::newRow("empty") << QString() << -1;
}

void tst_MainWindow::pageIndexOf()
{
    QFETCH(QString, text);
    QFETCH(int, page);
    QCOMPARE(MainWindow::pageIndexOf(text), page);
}

// However a page comes to be built (chosen in the tree, asked for, or built after the first frame),
// it is bound to its camera and asks for pictures only while it is the page shown.
void tst_MainWindow::pagesWiredWhenBuilt_data()
{
    QTest::addColumn<QString>("treeText"); // chosen in the side panel's tree; empty: none
    QTest::addColumn<int>("askFor");       // page asked of the stack; -1: none
    QTest::addColumn<bool>("waitForRest"); // until everything is built
    QTest::addColumn<int>("current");

    QTest::newRow("chosenInTree") << QStringLiteral("相机5") << -1 << false << 4;
    QTest::newRow("chartChosenInTree")
        << QStringLiteral("图表") << -1 << false << int(MainWindow::ChartPage);
    QTest::newRow("askedFor") << QString() << 4 << false << int(MainWindow::CameraWallPage);
    QTest::newRow("builtAfterFirstFrame")
        << QString() << -1 << true << int(MainWindow::CameraWallPage);
    QTest::newRow("chosenAfterAllBuilt") << QStringLiteral("相机5") << -1 << true << 4;
}

void tst_MainWindow::pagesWiredWhenBuilt()
{
    QFETCH(QString, treeText);
    QFETCH(int, askFor);
    QFETCH(bool, waitForRest);
    QFETCH(int, current);

    MainWindow window;
    CStackedWidget *stack = window.stackedWidget();
    // What the first frame does not show is not built with the window: the wall, and the
    // first camera page that it slides in over.
    QCOMPARE(window.findChildren<CameraParam *>().size(), 1);
    QVERIFY(!stack->isBuilt(4) && !stack->isBuilt(MainWindow::ChartPage));
    QVERIFY(!window.isFullyBuilt());

    QSignalSpy fullyBuilt(&window, &MainWindow::fullyBuilt);
    window.showMaximized();
    window.showCameraPage();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (waitForRest) {
        QTRY_VERIFY(window.isFullyBuilt());
        QCOMPARE(window.findChildren<CameraParam *>().size(), MainWindow::CameraPageCount);
    }
    if (!treeText.isEmpty())
        emit window.sidePanel()->signalClicked(treeText);
    if (askFor >= 0)
        QVERIFY(qobject_cast<CameraParam *>(stack->widget(askFor)));

    QCOMPARE(stack->currentIndex(), current);
    QVERIFY(window.chartPanel());
    QCOMPARE(static_cast<QWidget *>(window.chartPanel()), stack->widget(MainWindow::ChartPage));
    for (int i = 0; i < MainWindow::CameraPageCount; ++i) {
        if (!stack->isBuilt(i))
            continue;
        auto *page = qobject_cast<CameraParam *>(stack->widget(i));
        QVERIFY(page);
        QCOMPARE(page->channelNumber(), i + 1);
        // Cameras 1 and 3 are configured.
        QCOMPARE(page->videoView() != nullptr, i == 0 || i == 2);
        QCOMPARE(page->isActive(), i == current);
    }
    QCOMPARE(window.cameraPanel()->isActive(), current == MainWindow::CameraWallPage);
    // The rest is still built, once.
    QTRY_VERIFY(window.isFullyBuilt());
    QTRY_COMPARE(fullyBuilt.count(), 1);
    QCOMPARE(window.findChildren<CameraParam *>().size(), MainWindow::CameraPageCount);
}

void tst_MainWindow::onlyTheShownPageAsksForPictures_data()
{
    using Stream = VideoChannel::Stream;
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("chartsOfPage");
    QTest::addColumn<Stream>("first");
    QTest::addColumn<Stream>("third");

    QTest::newRow("wall") << int(MainWindow::CameraWallPage) << false << Stream::Grid
                          << Stream::Grid;
    QTest::newRow("cameraPage3") << 2 << false << Stream::None << Stream::Main;
    QTest::newRow("cameraPage3Charts") << 2 << true << Stream::None << Stream::None;
    QTest::newRow("cameraPage2") << 1 << false << Stream::None << Stream::None;
    QTest::newRow("chartPage") << int(MainWindow::ChartPage) << false << Stream::None
                               << Stream::None;
}

void tst_MainWindow::onlyTheShownPageAsksForPictures()
{
    QFETCH(int, page);
    QFETCH(bool, chartsOfPage);
    QFETCH(VideoChannel::Stream, first);
    QFETCH(VideoChannel::Stream, third);

    CStackedWidget *stack = m_window->stackedWidget();
    // From the wall, whose tiles are on screen beside the page that slides in.
    m_window->showCameraPage();
    stack->setCurrentIndex(page);
    if (chartsOfPage)
        QTest::mouseClick(stack->currentWidget()->findChild<QToolButton *>(
                              QStringLiteral("CameraDisplayIndexButton")),
                          Qt::LeftButton);
    QCOMPARE(m_window->channels()->channel(1)->demand(), first);
    QCOMPARE(m_window->channels()->channel(3)->demand(), third);
    QVERIFY(!m_window->channels()->channel(2));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
