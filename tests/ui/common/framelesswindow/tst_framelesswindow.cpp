#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "ui/common/framelesswindow/framelesswindow.h"

namespace
{

using Hit = CFramelessWindow::HitArea;

// A central widget that notes the presses it gets.
class PressTarget : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        event->accept();
    }
};

// A 400 x 300 window at (100, 100) whose 40-pixel title bar holds, from the left, a push button,
// a label registered as caption, a label that is not, and empty space.
struct TitledWindow {
    CFramelessWindow window;
    PressTarget *central = new PressTarget;
    QWidget *titleBar = new QWidget;
    QPushButton *button = new QPushButton(QStringLiteral("button"));
    QLabel *captionLabel = new QLabel(QStringLiteral("caption"));
    QLabel *otherLabel = new QLabel(QStringLiteral("other"));

    TitledWindow()
    {
        button->setObjectName(QStringLiteral("button"));
        captionLabel->setObjectName(QStringLiteral("captionLabel"));
        otherLabel->setObjectName(QStringLiteral("otherLabel"));
        auto *layout = new QHBoxLayout(titleBar);
        layout->setContentsMargins(0, 0, 0, 0);
        button->setFixedSize(60, 30);
        captionLabel->setFixedSize(60, 30);
        otherLabel->setFixedSize(60, 30);
        layout->addWidget(button);
        layout->addWidget(captionLabel);
        layout->addWidget(otherLabel);
        layout->addStretch(1);
        titleBar->setFixedHeight(40);
        window.setMenuWidget(titleBar);
        window.setCentralWidget(central);
        window.setTitleBar(titleBar);
        window.addCaptionWidget(captionLabel);
        window.setGeometry(100, 100, 400, 300);
    }

    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    QPoint global(QWidget *widget) const { return widget->mapToGlobal(widget->rect().center()); }
};

void pressAt(QWindow *window, const QPoint &global)
{
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, global - window->position());
}

void moveTo(QWindow *window, const QPoint &global)
{
    QTest::mouseMove(window, global - window->position());
}

void releaseAt(QWindow *window, const QPoint &global)
{
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, global - window->position());
}

void drag(QWindow *window, const QPoint &from, const QPoint &to)
{
    pressAt(window, from);
    for (int step = 1; step <= 4; ++step)
        moveTo(window, from + (to - from) * step / 4);
    releaseAt(window, to);
}

} // namespace

class TestFramelessWindow : public QObject
{
    Q_OBJECT

private slots:
    void edgeHitTest_data();
    void edgeHitTest();
    void titleBarHitTest_data();
    void titleBarHitTest();
    void resizeBorderWidth_data();
    void resizeBorderWidth();

    void captionDragMovesWindow();
    void captionDoubleClickMaximizesWhenResizable_data();
    void captionDoubleClickMaximizesWhenResizable();
    void edgeDragResizes();
    void notResizableStopsEdgeResizing();
    void setResizableKeepsVisibility();

    void marginsKeepUserPlusFrame();
    void marginsAcrossMaximizing();
    void getContentsMarginsWithMissingPointer();
    void showFullScreenWhileMaximized();

    void titleBarDestroyedClearsPointer();
    void captionWidgetsAreUniqueAndForgottenWhenDestroyed();
    void windowDestroyedBeforeItsTitleBar();
};

void TestFramelessWindow::edgeHitTest_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("resizable");
    QTest::addColumn<bool>("fixedWidth");
    QTest::addColumn<bool>("fixedHeight");
    QTest::addColumn<int>("expected");

    // left 100, right 400, top 100, bottom 300 (right and bottom exclusive), band 5.
    const QRect r(100, 100, 300, 200);
    QTest::newRow("leftBandStart")
        << r << QPoint(100, 200) << 5 << true << false << false << int(Hit::HitLeft);
    QTest::newRow("leftBandLast") << r << QPoint(104, 200) << 5 << true << false << false
                                  << int(Hit::HitLeft);
    QTest::newRow("fiveInsideLeftIsNotBand")
        << r << QPoint(105, 200) << 5 << true << false << false << int(Hit::HitNone);
    QTest::newRow("rightBandStart")
        << r << QPoint(395, 200) << 5 << true << false << false << int(Hit::HitRight);
    QTest::newRow("rightBandLast")
        << r << QPoint(399, 200) << 5 << true << false << false << int(Hit::HitRight);
    QTest::newRow("beforeRightBand")
        << r << QPoint(394, 200) << 5 << true << false << false << int(Hit::HitNone);
    QTest::newRow("topBand") << r << QPoint(250, 104) << 5 << true << false << false
                             << int(Hit::HitTop);
    QTest::newRow("belowTopBand") << r << QPoint(250, 105) << 5 << true << false << false
                                  << int(Hit::HitNone);
    QTest::newRow("bottomBand") << r << QPoint(250, 295) << 5 << true << false << false
                                << int(Hit::HitBottom);
    QTest::newRow("aboveBottomBand")
        << r << QPoint(250, 294) << 5 << true << false << false << int(Hit::HitNone);
    QTest::newRow("threeInLeftThreeAboveBottom")
        << r << QPoint(103, 297) << 5 << true << false << false << int(Hit::HitBottomLeft);
    QTest::newRow("bottomRight") << r << QPoint(398, 298) << 5 << true << false << false
                                 << int(Hit::HitBottomRight);
    QTest::newRow("topLeft") << r << QPoint(101, 101) << 5 << true << false << false
                             << int(Hit::HitTopLeft);
    QTest::newRow("topRight") << r << QPoint(398, 101) << 5 << true << false << false
                              << int(Hit::HitTopRight);
    QTest::newRow("outsideLeft") << r << QPoint(99, 200) << 5 << true << false << false
                                 << int(Hit::HitNone);
    QTest::newRow("centre") << r << QPoint(250, 200) << 5 << true << false << false
                            << int(Hit::HitNone);

    QTest::newRow("fixedWidthLeft")
        << r << QPoint(102, 200) << 5 << true << true << false << int(Hit::HitNone);
    QTest::newRow("fixedWidthRight")
        << r << QPoint(398, 200) << 5 << true << true << false << int(Hit::HitNone);
    QTest::newRow("fixedWidthTopLeftIsTop")
        << r << QPoint(101, 101) << 5 << true << true << false << int(Hit::HitTop);
    QTest::newRow("fixedWidthBottomLeftIsBottom")
        << r << QPoint(103, 297) << 5 << true << true << false << int(Hit::HitBottom);
    QTest::newRow("fixedHeightBottomLeftIsLeft")
        << r << QPoint(103, 297) << 5 << true << false << true << int(Hit::HitLeft);
    QTest::newRow("fixedHeightTop")
        << r << QPoint(250, 101) << 5 << true << false << true << int(Hit::HitNone);
    QTest::newRow("fixedBothCorner")
        << r << QPoint(103, 297) << 5 << true << true << true << int(Hit::HitNone);

    QTest::newRow("notResizableLeft")
        << r << QPoint(100, 200) << 5 << false << false << false << int(Hit::HitNone);
    QTest::newRow("notResizableCorner")
        << r << QPoint(398, 298) << 5 << false << false << false << int(Hit::HitNone);

    // An 8 x 8 window: the bands [0, 5) and [3, 8) overlap on both axes.
    const QRect narrow(0, 0, 8, 8);
    QTest::newRow("narrowRightOverwritesLeft")
        << narrow << QPoint(4, 6) << 5 << true << false << false << int(Hit::HitBottomRight);
    QTest::newRow("narrowTopOverwritesBottom")
        << narrow << QPoint(1, 4) << 5 << true << false << false << int(Hit::HitTopLeft);
    QTest::newRow("narrowLastCornerWins")
        << narrow << QPoint(4, 4) << 5 << true << false << false << int(Hit::HitTopRight);
    QTest::newRow("narrowOnlyLeft")
        << narrow << QPoint(1, 6) << 5 << true << false << false << int(Hit::HitBottomLeft);

    QTest::newRow("zeroWidthBandIsOne")
        << r << QPoint(100, 200) << 0 << true << false << false << int(Hit::HitLeft);
    QTest::newRow("zeroWidthBandOneInside")
        << r << QPoint(101, 200) << 0 << true << false << false << int(Hit::HitNone);
    QTest::newRow("negativeWidthBandIsOne")
        << r << QPoint(399, 200) << -3 << true << false << false << int(Hit::HitRight);
    QTest::newRow("negativeWidthBandOneInside")
        << r << QPoint(398, 200) << -3 << true << false << false << int(Hit::HitNone);
}

void TestFramelessWindow::edgeHitTest()
{
    QFETCH(QRect, rect);
    QFETCH(QPoint, point);
    QFETCH(int, border);
    QFETCH(bool, resizable);
    QFETCH(bool, fixedWidth);
    QFETCH(bool, fixedHeight);
    QFETCH(int, expected);

    QCOMPARE(int(CFramelessWindow::hitTest(rect, point, border, resizable, fixedWidth, fixedHeight,
                                           nullptr, {})),
             expected);
}

void TestFramelessWindow::titleBarHitTest_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<bool>("resizable");
    QTest::addColumn<int>("expected");

    // Offsets are from the target's centre, or from the window's top-left corner for "window".
    QTest::newRow("emptyPartOfTitleBar")
        << "window" << QPoint(300, 20) << true << int(Hit::HitCaption);
    QTest::newRow("registeredCaptionLabel")
        << "captionLabel" << QPoint() << true << int(Hit::HitCaption);
    QTest::newRow("pushButtonIsNotCaption") << "button" << QPoint() << true << int(Hit::HitNone);
    QTest::newRow("unregisteredLabelIsNotCaption")
        << "otherLabel" << QPoint() << true << int(Hit::HitNone);
    QTest::newRow("belowTitleBar") << "window" << QPoint(200, 150) << true << int(Hit::HitNone);
    QTest::newRow("edgeComesBeforeCaption")
        << "window" << QPoint(300, 2) << true << int(Hit::HitTop);
    QTest::newRow("notResizableEdgeIsCaption")
        << "window" << QPoint(300, 2) << false << int(Hit::HitCaption);
    QTest::newRow("notResizableButtonStaysButton")
        << "button" << QPoint() << false << int(Hit::HitNone);
}

void TestFramelessWindow::titleBarHitTest()
{
    QFETCH(QString, target);
    QFETCH(QPoint, offset);
    QFETCH(bool, resizable);
    QFETCH(int, expected);

    TitledWindow w;
    w.window.setResizable(resizable);
    QVERIFY(w.show());
    QPoint point;
    if (target == QLatin1String("window"))
        point = w.window.mapToGlobal(offset);
    else
        point = w.global(w.window.findChild<QWidget *>(target)) + offset;
    QCOMPARE(int(w.window.hitTest(point)), expected);
}

void TestFramelessWindow::resizeBorderWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -3 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("eight") << 8 << 8;
}

void TestFramelessWindow::resizeBorderWidth()
{
    QFETCH(int, width);
    QFETCH(int, expected);

    CFramelessWindow window;
    QCOMPARE(window.resizeBorderWidth(), CFramelessWindow::DefaultResizeBorderWidth);
    window.setResizeBorderWidth(width);
    QCOMPARE(window.resizeBorderWidth(), expected);

    window.setGeometry(100, 100, 400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.hitTest(QPoint(100 + expected - 1, 250)), Hit::HitLeft);
    QCOMPARE(window.hitTest(QPoint(100 + expected, 250)), Hit::HitNone);
}

// Offscreen the window system never moves a window itself, so these take the path by hand.
void TestFramelessWindow::captionDragMovesWindow()
{
    TitledWindow w;
    QVERIFY(w.show());
    const QPoint from = w.global(w.captionLabel);
    drag(w.window.windowHandle(), from, from + QPoint(60, 40));
    QCOMPARE(w.window.geometry(), QRect(160, 140, 400, 300));

    // A press on the push button is the button's, and moves nothing.
    const QPoint onButton = w.global(w.button);
    drag(w.window.windowHandle(), onButton, onButton + QPoint(60, 40));
    QCOMPARE(w.window.geometry(), QRect(160, 140, 400, 300));
}

void TestFramelessWindow::captionDoubleClickMaximizesWhenResizable_data()
{
    QTest::addColumn<bool>("resizable");
    QTest::newRow("resizable") << true;
    QTest::newRow("notResizable") << false;
}

void TestFramelessWindow::captionDoubleClickMaximizesWhenResizable()
{
    QFETCH(bool, resizable);
    TitledWindow w;
    w.window.setResizable(resizable);
    QVERIFY(w.show());
    QWindow *handle = w.window.windowHandle();
    const QPoint local = w.captionLabel->mapTo(&w.window, w.captionLabel->rect().center());

    QTest::mouseDClick(handle, Qt::LeftButton, Qt::NoModifier, local);
    QTRY_COMPARE(w.window.isMaximized(), resizable);
    if (!resizable)
        return;
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       w.captionLabel->mapTo(&w.window, w.captionLabel->rect().center()));
    QTRY_VERIFY(!w.window.isMaximized());
}

void TestFramelessWindow::edgeDragResizes()
{
    TitledWindow w;
    QVERIFY(w.show());
    const QPoint corner(100 + 398, 100 + 298);
    drag(w.window.windowHandle(), corner, corner - QPoint(50, 30));
    QCOMPARE(w.window.geometry(), QRect(100, 100, 350, 270));
    QCOMPARE(w.central->presses, 0);
}

void TestFramelessWindow::notResizableStopsEdgeResizing()
{
    TitledWindow w;
    QVERIFY(w.show());
    w.window.setResizable(false);
    QVERIFY(w.window.isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const QPoint edge(100 + 398, 100 + 200);
    drag(w.window.windowHandle(), edge, edge - QPoint(50, 0));
    QCOMPARE(w.window.geometry(), QRect(100, 100, 400, 300));
    QCOMPARE(w.central->presses, 1);

    w.window.setResizable(true);
    drag(w.window.windowHandle(), edge, edge - QPoint(50, 0));
    QCOMPARE(w.window.geometry(), QRect(100, 100, 350, 300));
}

void TestFramelessWindow::setResizableKeepsVisibility()
{
    CFramelessWindow window;
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    window.setResizable(false);
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!window.isVisible());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setResizable(true);
    QVERIFY(window.isVisible());
    QVERIFY(window.windowFlags() & Qt::WindowMaximizeButtonHint);
}

void TestFramelessWindow::marginsKeepUserPlusFrame()
{
    CFramelessWindow window;
    QWidget &base = window;
    window.setContentsMargins(QMargins(1, 2, 3, 4));
    QCOMPARE(window.contentsMargins(), QMargins(1, 2, 3, 4));
    QCOMPARE(base.contentsMargins(), QMargins(1, 2, 3, 4) + window.frameMargins());

    window.setContentsMargins(5, 6, 7, 8);
    QCOMPARE(window.contentsMargins(), QMargins(5, 6, 7, 8));
    QCOMPARE(base.contentsMargins(), QMargins(5, 6, 7, 8) + window.frameMargins());
    window.resize(300, 200);
    QCOMPARE(window.contentsRect(), base.contentsRect().translated(-window.frameMargins().left(),
                                                                   -window.frameMargins().top()));
    QCOMPARE(window.contentsRect(), QRect(5, 6, 300 - 5 - 7, 200 - 6 - 8));
}

void TestFramelessWindow::marginsAcrossMaximizing()
{
    CFramelessWindow window;
    QWidget &base = window;
    window.setContentsMargins(3, 3, 3, 3);
    window.setGeometry(100, 100, 400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    QCOMPARE(window.frameMargins(), CFramelessWindow::maximizedFrameMargins());
    QCOMPARE(base.contentsMargins(), QMargins(3, 3, 3, 3) + window.frameMargins());
    QCOMPARE(window.contentsMargins(), QMargins(3, 3, 3, 3));
    int l = 0, t = 0, r = 0, b = 0;
    window.getContentsMargins(&l, &t, &r, &b);
    QCOMPARE(QMargins(l, t, r, b), QMargins(3, 3, 3, 3));

    // Margins asked for while maximised survive the way back.
    window.setContentsMargins(2, 4, 6, 8);
    window.showNormal();
    QTRY_VERIFY(!window.isMaximized());
    QCOMPARE(window.frameMargins(), QMargins());
    QCOMPARE(base.contentsMargins(), QMargins(2, 4, 6, 8));
    QCOMPARE(window.contentsMargins(), QMargins(2, 4, 6, 8));
}

void TestFramelessWindow::getContentsMarginsWithMissingPointer()
{
    CFramelessWindow window;
    window.setContentsMargins(1, 2, 3, 4);
    int left = -1, top = -1, bottom = -1;
    window.getContentsMargins(&left, &top, nullptr, &bottom);
    QCOMPARE(left, 1);
    QCOMPARE(top, 2);
    QCOMPARE(bottom, 4);
}

void TestFramelessWindow::showFullScreenWhileMaximized()
{
    CFramelessWindow window;
    QWidget &base = window;
    window.setContentsMargins(4, 4, 4, 4);
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isMaximized());

    window.showFullScreen();
    QTRY_VERIFY(window.isFullScreen());
    QCOMPARE(window.frameMargins(), QMargins());
    QCOMPARE(base.contentsMargins(), QMargins(4, 4, 4, 4));
}

void TestFramelessWindow::titleBarDestroyedClearsPointer()
{
    CFramelessWindow window;
    auto *first = new QWidget(&window);
    auto *second = new QWidget(&window);
    window.setTitleBar(first);
    window.setTitleBar(second);
    delete first;
    QCOMPARE(window.titleBar(), second);
    delete second;
    QCOMPARE(window.titleBar(), nullptr);

    window.setTitleBar(nullptr);
    QCOMPARE(window.titleBar(), nullptr);
}

void TestFramelessWindow::captionWidgetsAreUniqueAndForgottenWhenDestroyed()
{
    CFramelessWindow window;
    auto *label = new QLabel(&window);
    auto *other = new QLabel(&window);
    window.addCaptionWidget(label);
    window.addCaptionWidget(label);
    window.addCaptionWidget(nullptr);
    window.addCaptionWidget(other);
    QCOMPARE(window.captionWidgets(), (QList<QWidget *>{label, other}));

    delete label;
    QCOMPARE(window.captionWidgets(), (QList<QWidget *>{other}));
}

// Children registered as title bar and caption are deleted by the base classes after this
// class's part is gone; that must not reach back into it.
void TestFramelessWindow::windowDestroyedBeforeItsTitleBar()
{
    QPointer<QWidget> titleBar;
    {
        TitledWindow w;
        titleBar = w.titleBar;
        QVERIFY(w.show());
    }
    QVERIFY(titleBar.isNull());
}

QTEST_MAIN(TestFramelessWindow)
#include "tst_framelesswindow.moc"
