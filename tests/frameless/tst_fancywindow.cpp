#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "fancydialog.h"
#include "fancywindow.h"
#include "framelessrules.h"

Q_DECLARE_METATYPE(Qt::Edges)

namespace
{

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

QIcon solidIcon(const QColor &color)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(color);
    return QIcon(pixmap);
}

bool sameColor(const QColor &a, const QColor &b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

// Pointer steps on a top-level window given in global coordinates, as the window system would
// report them while the window itself moves.
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

} // namespace

// The frameless window component on the offscreen platform, where the window system never moves
// or resizes a window itself: every drag there takes the path by hand.
class TestFancyWindow : public QObject
{
    Q_OBJECT

private slots:
    void edgesAt_data();
    void edgesAt();
    void resizedGeometry_data();
    void resizedGeometry();
    void cursorForEdges_data();
    void cursorForEdges();
    void isDrag_data();
    void isDrag();

    void barSitsAboveContent();
    void titleAndIconSetLaterShowInBar();
    void barHeightAndLogoSize();
    void additionalControlsKeepCallOrder();
    void actionButtonPopsUpMenuSetLater();
    void actionButtonWithoutMenuTriggers();
    void middleWidgetIsCentred();
    void middleWidgetMakesRoomForControls();
    void middleWidgetIsReplaced();
    void hideMaximizeButton();
    void windowButtons();
    void windowButtonGlyphs_data();
    void windowButtonGlyphs();
    void windowButtonGlyphsFollowTheme();

    void barDragMovesWindow();
    void barClickWithoutDragDoesNotMove();
    void doubleClickMaximizesAndRestores();
    void maximizedWindowDoesNotMove();
    void edgeDragResizes_data();
    void edgeDragResizes();
    void fixedSizeWindowPassesEdgePressToContent();
    void bandShowsResizeCursor();

    void dialogFixedSizeIncludesBar();
    void dialogOwnsCentralWidget();
    void dialogBackgroundImagePainted();
    void dialogMissingBackgroundPaintsNothing();
    void dialogResults_data();
    void dialogResults();
    void dialogCloseButtonRejects();

private:
    void showAt(QWidget &window, const QRect &geometry);
};

void TestFancyWindow::showAt(QWidget &window, const QRect &geometry)
{
    window.setGeometry(geometry);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.geometry(), geometry);
}

void TestFancyWindow::edgesAt_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("band");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<Qt::Edges>("expected");

    // right = 110, bottom = 100 (exclusive).
    const QRect r(10, 20, 100, 80);
    const Qt::Edges none;
    QTest::newRow("centre") << r << QPoint(60, 60) << 4 << true << true << none;
    QTest::newRow("leftBandStart")
        << r << QPoint(10, 60) << 4 << true << true << Qt::Edges(Qt::LeftEdge);
    QTest::newRow("leftBandEnd") << r << QPoint(13, 60) << 4 << true << true
                                 << Qt::Edges(Qt::LeftEdge);
    QTest::newRow("pastLeftBand") << r << QPoint(14, 60) << 4 << true << true << none;
    QTest::newRow("rightBandEnd") << r << QPoint(109, 60) << 4 << true << true
                                  << Qt::Edges(Qt::RightEdge);
    QTest::newRow("rightBandStart")
        << r << QPoint(106, 60) << 4 << true << true << Qt::Edges(Qt::RightEdge);
    QTest::newRow("beforeRightBand") << r << QPoint(105, 60) << 4 << true << true << none;
    QTest::newRow("topBandEnd") << r << QPoint(60, 23) << 4 << true << true
                                << Qt::Edges(Qt::TopEdge);
    QTest::newRow("belowTopBand") << r << QPoint(60, 24) << 4 << true << true << none;
    QTest::newRow("bottomBandStart")
        << r << QPoint(60, 96) << 4 << true << true << Qt::Edges(Qt::BottomEdge);
    QTest::newRow("aboveBottomBand") << r << QPoint(60, 95) << 4 << true << true << none;
    QTest::newRow("topLeft") << r << QPoint(11, 21) << 4 << true << true
                             << (Qt::LeftEdge | Qt::TopEdge);
    QTest::newRow("topRight") << r << QPoint(108, 21) << 4 << true << true
                              << (Qt::RightEdge | Qt::TopEdge);
    QTest::newRow("bottomLeft") << r << QPoint(11, 98) << 4 << true << true
                                << (Qt::LeftEdge | Qt::BottomEdge);
    QTest::newRow("bottomRight") << r << QPoint(108, 98) << 4 << true << true
                                 << (Qt::RightEdge | Qt::BottomEdge);
    QTest::newRow("outsideLeft") << r << QPoint(9, 60) << 4 << true << true << none;
    QTest::newRow("outsideRight") << r << QPoint(110, 60) << 4 << true << true << none;
    QTest::newRow("outsideBelow") << r << QPoint(60, 100) << 4 << true << true << none;
    QTest::newRow("fixedWidthLeft") << r << QPoint(11, 60) << 4 << false << true << none;
    QTest::newRow("fixedWidthCorner")
        << r << QPoint(11, 98) << 4 << false << true << Qt::Edges(Qt::BottomEdge);
    QTest::newRow("fixedHeightCorner")
        << r << QPoint(11, 98) << 4 << true << false << Qt::Edges(Qt::LeftEdge);
    QTest::newRow("fixedSize") << r << QPoint(11, 98) << 4 << false << false << none;
    QTest::newRow("narrowRightAndTopWin")
        << QRect(0, 0, 6, 6) << QPoint(2, 2) << 4 << true << true << (Qt::RightEdge | Qt::TopEdge);
    QTest::newRow("zeroBandIsOne")
        << r << QPoint(10, 60) << 0 << true << true << Qt::Edges(Qt::LeftEdge);
    QTest::newRow("zeroBandOneInside") << r << QPoint(11, 60) << 0 << true << true << none;
    QTest::newRow("negativeBandIsOne")
        << r << QPoint(109, 60) << -3 << true << true << Qt::Edges(Qt::RightEdge);
}

void TestFancyWindow::edgesAt()
{
    QFETCH(QRect, rect);
    QFETCH(QPoint, point);
    QFETCH(int, band);
    QFETCH(bool, horizontal);
    QFETCH(bool, vertical);
    QFETCH(Qt::Edges, expected);
    QCOMPARE(Frameless::edgesAt(rect, point, band, horizontal, vertical), expected);
}

void TestFancyWindow::resizedGeometry_data()
{
    QTest::addColumn<Qt::Edges>("edges");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("expected");

    // Start (100, 100, 400 x 300), maximum 600 x 500.
    const QSize min(200, 100);
    QTest::newRow("rightGrows") << Qt::Edges(Qt::RightEdge) << QPoint(50, 7) << min
                                << QRect(100, 100, 450, 300);
    QTest::newRow("leftGrowsLeftward")
        << Qt::Edges(Qt::LeftEdge) << QPoint(-50, 0) << min << QRect(50, 100, 450, 300);
    QTest::newRow("leftStopsAtMinimum")
        << Qt::Edges(Qt::LeftEdge) << QPoint(300, 0) << min << QRect(300, 100, 200, 300);
    QTest::newRow("rightStopsAtMaximum")
        << Qt::Edges(Qt::RightEdge) << QPoint(500, 0) << min << QRect(100, 100, 600, 300);
    QTest::newRow("topShrinks") << Qt::Edges(Qt::TopEdge) << QPoint(0, 50) << min
                                << QRect(100, 150, 400, 250);
    QTest::newRow("topStopsAtMaximum")
        << Qt::Edges(Qt::TopEdge) << QPoint(0, -400) << min << QRect(100, -100, 400, 500);
    QTest::newRow("bottomStopsAtMinimum")
        << Qt::Edges(Qt::BottomEdge) << QPoint(0, -250) << min << QRect(100, 100, 400, 100);
    QTest::newRow("bottomRightCorner")
        << (Qt::BottomEdge | Qt::RightEdge) << QPoint(20, 30) << min << QRect(100, 100, 420, 330);
    QTest::newRow("topLeftCorner")
        << (Qt::TopEdge | Qt::LeftEdge) << QPoint(20, 30) << min << QRect(120, 130, 380, 270);
    QTest::newRow("noMinimumKeepsOnePixel")
        << Qt::Edges(Qt::RightEdge) << QPoint(-500, 0) << QSize(0, 0) << QRect(100, 100, 1, 300);
    QTest::newRow("noEdges") << Qt::Edges() << QPoint(30, 30) << min << QRect(100, 100, 400, 300);
}

void TestFancyWindow::resizedGeometry()
{
    QFETCH(Qt::Edges, edges);
    QFETCH(QPoint, delta);
    QFETCH(QSize, minimum);
    QFETCH(QRect, expected);
    QCOMPARE(Frameless::resizedGeometry(QRect(100, 100, 400, 300), edges, delta, minimum,
                                        QSize(600, 500)),
             expected);
}

void TestFancyWindow::cursorForEdges_data()
{
    QTest::addColumn<Qt::Edges>("edges");
    QTest::addColumn<int>("shape");

    QTest::newRow("none") << Qt::Edges() << int(Qt::ArrowCursor);
    QTest::newRow("left") << Qt::Edges(Qt::LeftEdge) << int(Qt::SizeHorCursor);
    QTest::newRow("right") << Qt::Edges(Qt::RightEdge) << int(Qt::SizeHorCursor);
    QTest::newRow("top") << Qt::Edges(Qt::TopEdge) << int(Qt::SizeVerCursor);
    QTest::newRow("bottom") << Qt::Edges(Qt::BottomEdge) << int(Qt::SizeVerCursor);
    QTest::newRow("topLeft") << (Qt::TopEdge | Qt::LeftEdge) << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottomRight") << (Qt::BottomEdge | Qt::RightEdge) << int(Qt::SizeFDiagCursor);
    QTest::newRow("topRight") << (Qt::TopEdge | Qt::RightEdge) << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottomLeft") << (Qt::BottomEdge | Qt::LeftEdge) << int(Qt::SizeBDiagCursor);
}

void TestFancyWindow::cursorForEdges()
{
    QFETCH(Qt::Edges, edges);
    QFETCH(int, shape);
    QCOMPARE(int(Frameless::cursorForEdges(edges)), shape);
}

void TestFancyWindow::isDrag_data()
{
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("expected");

    QTest::newRow("stillClick") << QPoint(0, 0) << false;
    QTest::newRow("belowDistance") << QPoint(5, 4) << false;
    QTest::newRow("atDistance") << QPoint(6, 4) << true;
    QTest::newRow("backwards") << QPoint(-10, 0) << true;
}

void TestFancyWindow::isDrag()
{
    QFETCH(QPoint, to);
    QFETCH(bool, expected);
    QCOMPARE(Frameless::isDrag(QPoint(0, 0), to, 10), expected);
}

void TestFancyWindow::barSitsAboveContent()
{
    FancyWindow window;
    auto *central = new QWidget;
    window.setCentralWidget(central);
    showAt(window, QRect(100, 100, 640, 480));

    FancyBar *bar = window.fancyBar();
    QCOMPARE(bar->objectName(), QStringLiteral("FancyBar"));
    QCOMPARE(window.menuWidget(), bar);
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(bar->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(bar->width(), window.width());
    QVERIFY(central->geometry().top() >= bar->geometry().bottom());

    QCOMPARE(bar->titleBar()->objectName(), QStringLiteral("FancyTitleBar"));
    QVERIFY(child<QToolButton>(bar, "FancyBarLogoButton"));
    QVERIFY(child<QWidget>(bar, "FancyBarAdditionalArea"));
    QVERIFY(child<QWidget>(bar, "FancyBarMiddleArea"));
    QVERIFY(child<QLabel>(bar->titleBar(), "FancyTitleBarTitleLabel"));
    QVERIFY(child<QToolButton>(bar->titleBar(), "FancyTitleBarMinimizeButton")->isVisible());
    QVERIFY(child<QToolButton>(bar->titleBar(), "FancyTitleBarMaximizeButton")->isVisible());
    QVERIFY(child<QToolButton>(bar->titleBar(), "FancyTitleBarCloseButton")->isVisible());
}

// The order the program uses: central widget, bar, then title and icon.
void TestFancyWindow::titleAndIconSetLaterShowInBar()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    window.fancyBar()->setLogoButtonIconSize(QSize(40, 40));
    window.setWindowTitle(QStringLiteral("windowName"));
    window.setWindowIcon(solidIcon(Qt::red));
    showAt(window, QRect(100, 100, 640, 480));

    auto *label = child<QLabel>(window.fancyBar(), "FancyTitleBarTitleLabel");
    QCOMPARE(label->text(), QStringLiteral("windowName"));
    auto *logo = child<QToolButton>(window.fancyBar(), "FancyBarLogoButton");
    const QImage image = logo->grab().toImage();
    QVERIFY(sameColor(image.pixelColor(image.rect().center()), Qt::red));

    window.setWindowTitle(QStringLiteral("renamed"));
    QCOMPARE(label->text(), QStringLiteral("renamed"));
    window.setWindowIcon(solidIcon(Qt::blue));
    const QImage blue = logo->grab().toImage();
    QVERIFY(sameColor(blue.pixelColor(blue.rect().center()), Qt::blue));
}

void TestFancyWindow::barHeightAndLogoSize()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    FancyBar *bar = window.fancyBar();
    bar->setFixedHeight(50);
    bar->setTitleBarHeight(50);
    bar->setLogoButtonIconSize(QSize(40, 40));
    window.setWindowIcon(solidIcon(Qt::red));
    showAt(window, QRect(100, 100, 800, 600));

    QCOMPARE(bar->height(), 50);
    QCOMPARE(bar->titleBar()->height(), 50);
    QCOMPARE(child<QToolButton>(bar, "FancyTitleBarCloseButton")->height(), 50);

    auto *logo = child<QToolButton>(bar, "FancyBarLogoButton");
    QCOMPARE(logo->iconSize(), QSize(40, 40));
    // The icon fills 40 x 40 pixels in the middle of the button, and no more.
    const QImage image = logo->grab().toImage();
    const QPoint centre = image.rect().center();
    QVERIFY(sameColor(image.pixelColor(centre + QPoint(-19, -19)), Qt::red));
    QVERIFY(sameColor(image.pixelColor(centre + QPoint(19, 19)), Qt::red));
    QVERIFY(!sameColor(image.pixelColor(centre + QPoint(-21, 0)), Qt::red));
    QVERIFY(!sameColor(image.pixelColor(centre + QPoint(0, 21)), Qt::red));
    QVERIFY(qAbs(logo->geometry().center().y() - bar->height() / 2) <= 1);
}

void TestFancyWindow::additionalControlsKeepCallOrder()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    FancyBar *bar = window.fancyBar();
    QAction first(QStringLiteral("first"));
    QAction last(QStringLiteral("last"));
    auto *strip = new QWidget;
    strip->setFixedSize(200, 30);

    bar->addAdditionalControl(&first, FancyBar::LeadingPosition);
    bar->addAdditionalControl(strip, FancyBar::LeadingPosition);
    bar->addAdditionalControl(&last, FancyBar::LeadingPosition);
    showAt(window, QRect(100, 100, 900, 500));

    QList<QToolButton *> buttons;
    for (QToolButton *button :
         bar->findChildren<QToolButton *>(QStringLiteral("FancyBarAdditionalButton")))
        buttons << button;
    QCOMPARE(buttons.size(), 2);
    QToolButton *firstButton =
        buttons.at(0)->defaultAction() == &first ? buttons.at(0) : buttons.at(1);
    QToolButton *lastButton = firstButton == buttons.at(0) ? buttons.at(1) : buttons.at(0);
    QCOMPARE(lastButton->defaultAction(), &last);
    QCOMPARE(firstButton->popupMode(), QToolButton::InstantPopup);
    QCOMPARE(firstButton->text(), QStringLiteral("first"));

    // Direct children of the bar, which sits at the window's origin: positions relative to the
    // bar are positions in the window.
    QCOMPARE(strip->parentWidget(), bar);
    QCOMPARE(firstButton->parentWidget(), bar);
    QCOMPARE(window.mapToGlobal(strip->pos()), strip->mapToGlobal(QPoint(0, 0)));

    auto *logo = child<QToolButton>(bar, "FancyBarLogoButton");
    QVERIFY(logo->geometry().right() < firstButton->geometry().left());
    QVERIFY(firstButton->geometry().right() < strip->geometry().left());
    QVERIFY(strip->geometry().right() < lastButton->geometry().left());
    QVERIFY(lastButton->geometry().right() < bar->titleBar()->geometry().left() + 1);

    // The area behind the controls spans them exactly.
    auto *area = child<QWidget>(bar, "FancyBarAdditionalArea");
    QVERIFY(area->isVisible());
    QCOMPARE(area->geometry().left(), firstButton->geometry().left());
    QCOMPARE(area->geometry().right(), lastButton->geometry().right());
}

void TestFancyWindow::actionButtonPopsUpMenuSetLater()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    QAction action(QStringLiteral("style"));
    window.fancyBar()->addAdditionalControl(&action, FancyBar::LeadingPosition);
    QMenu menu;
    menu.addAction(QStringLiteral("dark_blue"));
    action.setMenu(&menu);
    showAt(window, QRect(100, 100, 640, 480));

    auto *button = child<QToolButton>(window.fancyBar(), "FancyBarAdditionalButton");
    QWidget *popup = nullptr;
    QTimer::singleShot(0, this, [&popup] {
        popup = QApplication::activePopupWidget();
        if (popup)
            popup->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(popup, &menu);
}

void TestFancyWindow::actionButtonWithoutMenuTriggers()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    QAction action(QStringLiteral("log"));
    QSignalSpy triggered(&action, &QAction::triggered);
    window.fancyBar()->addAdditionalControl(&action, FancyBar::LeadingPosition);
    showAt(window, QRect(100, 100, 640, 480));

    QTest::mouseClick(child<QToolButton>(window.fancyBar(), "FancyBarAdditionalButton"),
                      Qt::LeftButton);
    QCOMPARE(triggered.count(), 1);
}

void TestFancyWindow::middleWidgetIsCentred()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    FancyBar *bar = window.fancyBar();
    bar->setFixedHeight(50);
    auto *button = new QPushButton(QStringLiteral("ClickMe"));
    button->setFixedSize(100, 30);
    bar->setWidgetInMiddle(button);
    showAt(window, QRect(100, 100, 1000, 600));

    QVERIFY(button->isVisible());
    QCOMPARE(button->mapTo(bar, button->rect().center()), QPoint(499, 24));
    QCOMPARE(child<QWidget>(bar, "FancyBarMiddleArea")->geometry(), QRect(450, 10, 100, 30));

    window.resize(800, 600);
    QTRY_COMPARE(button->mapTo(bar, QPoint(0, 0)), QPoint(350, 10));
}

void TestFancyWindow::middleWidgetMakesRoomForControls()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    FancyBar *bar = window.fancyBar();
    auto *wide = new QWidget;
    wide->setFixedSize(500, 20);
    bar->addAdditionalControl(wide, FancyBar::LeadingPosition);
    auto *middle = new QPushButton(QStringLiteral("ClickMe"));
    middle->setFixedSize(100, 20);
    bar->setWidgetInMiddle(middle);
    showAt(window, QRect(100, 100, 900, 400));

    // Centred would start at 400, over the wide control that ends at 500 or later.
    QCOMPARE(middle->mapTo(bar, QPoint(0, 0)).x(), wide->geometry().right() + 1);
}

void TestFancyWindow::middleWidgetIsReplaced()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    QPointer<QPushButton> first = new QPushButton(QStringLiteral("first"));
    auto *second = new QPushButton(QStringLiteral("second"));
    window.fancyBar()->setWidgetInMiddle(first);
    window.fancyBar()->setWidgetInMiddle(second);
    showAt(window, QRect(100, 100, 800, 400));

    QCOMPARE(window.fancyBar()->widgetInMiddle(), second);
    QVERIFY(second->isVisible());
    QVERIFY(first);
    QVERIFY(!first->isVisible());
}

void TestFancyWindow::hideMaximizeButton()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    window.fancyBar()->titleBar()->hideMaximizeButton();
    showAt(window, QRect(100, 100, 800, 400));

    FancyTitleBar *titleBar = window.fancyBar()->titleBar();
    QVERIFY(!child<QToolButton>(titleBar, "FancyTitleBarMaximizeButton")->isVisible());
    QVERIFY(child<QToolButton>(titleBar, "FancyTitleBarMinimizeButton")->isVisible());
    QVERIFY(child<QToolButton>(titleBar, "FancyTitleBarCloseButton")->isVisible());

    // Without its button the window is not maximised from the bar either.
    auto *label = child<QLabel>(titleBar, "FancyTitleBarTitleLabel");
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       label->mapTo(&window, QPoint(10, 5)));
    QVERIFY(!window.isMaximized());
}

void TestFancyWindow::windowButtons()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    showAt(window, QRect(100, 100, 800, 400));
    FancyTitleBar *titleBar = window.fancyBar()->titleBar();
    auto *maximize = child<QToolButton>(titleBar, "FancyTitleBarMaximizeButton");

    QTest::mouseClick(maximize, Qt::LeftButton);
    QTRY_VERIFY(window.isMaximized());
    QCOMPARE(maximize->property("windowMaximized").toBool(), true);
    QTest::mouseClick(maximize, Qt::LeftButton);
    QTRY_VERIFY(!window.isMaximized());
    QCOMPARE(maximize->property("windowMaximized").toBool(), false);
    QTRY_COMPARE(window.geometry(), QRect(100, 100, 800, 400));

    QTest::mouseClick(child<QToolButton>(titleBar, "FancyTitleBarMinimizeButton"), Qt::LeftButton);
    QTRY_VERIFY(window.isMinimized());
    window.showNormal();

    QTest::mouseClick(child<QToolButton>(titleBar, "FancyTitleBarCloseButton"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestFancyWindow::barDragMovesWindow()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    window.setWindowTitle(QStringLiteral("drag"));
    showAt(window, QRect(100, 100, 800, 400));
    QWindow *handle = window.windowHandle();
    auto *label = child<QLabel>(window.fancyBar(), "FancyTitleBarTitleLabel");
    const QPoint from = label->mapToGlobal(QPoint(20, 8));

    pressAt(handle, from);
    moveTo(handle, from + QPoint(4, 0));
    QCOMPARE(window.pos(), QPoint(100, 100));
    moveTo(handle, from + QPoint(40, 25));
    QCOMPARE(window.pos(), QPoint(140, 125));
    moveTo(handle, from + QPoint(-60, 90));
    QCOMPARE(window.pos(), QPoint(40, 190));
    releaseAt(handle, from + QPoint(-60, 90));

    // After the release the pointer moves freely again.
    moveTo(handle, from + QPoint(10, 100));
    QCOMPARE(window.pos(), QPoint(40, 190));
    QCOMPARE(window.size(), QSize(800, 400));
}

void TestFancyWindow::barClickWithoutDragDoesNotMove()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    showAt(window, QRect(100, 100, 800, 400));
    QWindow *handle = window.windowHandle();
    auto *label = child<QLabel>(window.fancyBar(), "FancyTitleBarTitleLabel");
    const QPoint from = label->mapToGlobal(QPoint(20, 8));

    pressAt(handle, from);
    moveTo(handle, from + QPoint(QApplication::startDragDistance() - 1, 0));
    releaseAt(handle, from + QPoint(QApplication::startDragDistance() - 1, 0));
    QCOMPARE(window.geometry(), QRect(100, 100, 800, 400));
}

void TestFancyWindow::doubleClickMaximizesAndRestores()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    showAt(window, QRect(100, 100, 800, 400));
    auto *label = child<QLabel>(window.fancyBar(), "FancyTitleBarTitleLabel");

    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       label->mapTo(&window, QPoint(20, 8)));
    QTRY_VERIFY(window.isMaximized());
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       label->mapTo(&window, QPoint(20, 8)));
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.geometry(), QRect(100, 100, 800, 400));

    // The logo belongs to the bar as well.
    auto *logo = child<QToolButton>(window.fancyBar(), "FancyBarLogoButton");
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       logo->geometry().center());
    QTRY_VERIFY(window.isMaximized());
}

void TestFancyWindow::maximizedWindowDoesNotMove()
{
    FancyWindow window;
    window.setCentralWidget(new QWidget);
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect maximized = window.geometry();
    QWindow *handle = window.windowHandle();
    auto *label = child<QLabel>(window.fancyBar(), "FancyTitleBarTitleLabel");
    const QPoint from = label->mapToGlobal(QPoint(20, 8));

    pressAt(handle, from);
    moveTo(handle, from + QPoint(50, 50));
    releaseAt(handle, from + QPoint(50, 50));
    QCOMPARE(window.geometry(), maximized);

    // Nor does it resize from its edges.
    const QPoint edge = window.mapToGlobal(QPoint(window.width() - 1, 200));
    pressAt(handle, edge);
    moveTo(handle, edge - QPoint(100, 0));
    releaseAt(handle, edge - QPoint(100, 0));
    QCOMPARE(window.geometry(), maximized);
}

void TestFancyWindow::edgeDragResizes_data()
{
    QTest::addColumn<QPoint>("pressOffset");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");

    // A 800 x 400 window at (100, 100), band 4; drags stay inside the window.
    QTest::newRow("rightEdge") << QPoint(798, 200) << QPoint(-100, 0) << QRect(100, 100, 700, 400);
    QTest::newRow("leftEdge") << QPoint(1, 200) << QPoint(80, 0) << QRect(180, 100, 720, 400);
    QTest::newRow("bottomEdge") << QPoint(400, 399) << QPoint(0, -50) << QRect(100, 100, 800, 350);
    QTest::newRow("topEdge") << QPoint(400, 0) << QPoint(0, 30) << QRect(100, 130, 800, 370);
    QTest::newRow("topLeftCorner") << QPoint(2, 2) << QPoint(50, 20) << QRect(150, 120, 750, 380);
    QTest::newRow("bottomRightCorner")
        << QPoint(799, 399) << QPoint(-60, -40) << QRect(100, 100, 740, 360);
    QTest::newRow("topRightOverWindowButton")
        << QPoint(799, 0) << QPoint(-30, 10) << QRect(100, 110, 770, 390);
}

void TestFancyWindow::edgeDragResizes()
{
    QFETCH(QPoint, pressOffset);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);

    FancyWindow window;
    auto *central = new PressTarget;
    window.setCentralWidget(central);
    showAt(window, QRect(100, 100, 800, 400));
    QWindow *handle = window.windowHandle();
    const QPoint from = QPoint(100, 100) + pressOffset;

    pressAt(handle, from);
    for (int step = 1; step <= 4; ++step)
        moveTo(handle, from + delta * step / 4);
    releaseAt(handle, from + delta);

    QCOMPARE(window.geometry(), expected);
    // The press on the band never reaches the content underneath.
    QCOMPARE(central->presses, 0);
}

void TestFancyWindow::fixedSizeWindowPassesEdgePressToContent()
{
    FancyWindow window;
    auto *central = new PressTarget;
    window.setCentralWidget(central);
    window.setFixedSize(800, 400);
    showAt(window, QRect(100, 100, 800, 400));
    QWindow *handle = window.windowHandle();
    const QPoint from(100 + 798, 100 + 300);

    pressAt(handle, from);
    moveTo(handle, from - QPoint(100, 0));
    releaseAt(handle, from - QPoint(100, 0));

    QCOMPARE(window.geometry(), QRect(100, 100, 800, 400));
    QCOMPARE(central->presses, 1);
}

void TestFancyWindow::bandShowsResizeCursor()
{
    FancyWindow window;
    auto *central = new QWidget;
    central->setCursor(Qt::IBeamCursor);
    window.setCentralWidget(central);
    showAt(window, QRect(100, 100, 800, 400));
    QWindow *handle = window.windowHandle();

    QTest::mouseMove(handle, QPoint(400, 300));
    QTest::mouseMove(handle, QPoint(798, 300));
    QCOMPARE(handle->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(handle, QPoint(799, 399));
    QCOMPARE(handle->cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(handle, QPoint(700, 300));
    QCOMPARE(handle->cursor().shape(), Qt::IBeamCursor);
}

void TestFancyWindow::dialogFixedSizeIncludesBar()
{
    FancyDialog dialog;
    auto *central = new QWidget;
    dialog.setCentralWidget(central);
    dialog.setFixedSize(500, 300);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(dialog.size(), QSize(500, 300));
    QCOMPARE(dialog.minimumSize(), QSize(500, 300));
    QCOMPARE(dialog.maximumSize(), QSize(500, 300));
    FancyBar *bar = dialog.fancyBar();
    QCOMPARE(bar->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(bar->width(), 500);
    QCOMPARE(central->geometry(), QRect(0, bar->height(), 500, 300 - bar->height()));
    QVERIFY(!dialog.fancyBar()->titleBar()->canMaximize());
}

void TestFancyWindow::dialogOwnsCentralWidget()
{
    QPointer<QWidget> first = new QWidget;
    QPointer<QWidget> second = new QWidget;
    {
        FancyDialog dialog;
        dialog.setCentralWidget(first);
        QCOMPARE(first->window(), &dialog);
        dialog.setCentralWidget(second);
        QVERIFY(first.isNull());
        QCOMPARE(dialog.centralWidget(), second.data());
    }
    QVERIFY(second.isNull());
}

void TestFancyWindow::dialogBackgroundImagePainted()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage picture(500, 300, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, 250, 300, Qt::red);
    const QString path = dir.filePath(QStringLiteral("bg.png"));
    QVERIFY(picture.save(path));

    FancyDialog dialog;
    dialog.setCentralWidget(new QWidget);
    dialog.setBackgroundImage(path);
    dialog.setFixedSize(500, 300);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    const QImage image = dialog.grab().toImage();
    const int barHeight = dialog.fancyBar()->height();
    // Behind the content and behind the empty part of the bar.
    QVERIFY(sameColor(image.pixelColor(100, 200), Qt::red));
    QVERIFY(sameColor(image.pixelColor(400, 200), Qt::blue));
    QVERIFY(sameColor(image.pixelColor(300, barHeight / 2), Qt::blue));
    QVERIFY(sameColor(image.pixelColor(10, 290), Qt::red));
}

void TestFancyWindow::dialogMissingBackgroundPaintsNothing()
{
    FancyDialog plain;
    plain.setCentralWidget(new QWidget);
    plain.setFixedSize(300, 200);
    FancyDialog missing;
    missing.setCentralWidget(new QWidget);
    missing.setFixedSize(300, 200);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot read background image")));
    missing.setBackgroundImage(QStringLiteral("/nonexistent/bg.png"));

    QCOMPARE(missing.grab().toImage(), plain.grab().toImage());
}

void TestFancyWindow::dialogResults_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("expected");

    QTest::newRow("accept") << 0 << int(QDialog::Accepted);
    QTest::newRow("reject") << 1 << int(QDialog::Rejected);
    QTest::newRow("doneWithCode") << 2 << 7;
    QTest::newRow("escapeKey") << 3 << int(QDialog::Rejected);
}

void TestFancyWindow::dialogResults()
{
    QFETCH(int, how);
    QFETCH(int, expected);

    FancyDialog dialog;
    dialog.setCentralWidget(new QWidget);
    dialog.setFixedSize(300, 200);
    QTimer::singleShot(0, &dialog, [&dialog, how] {
        switch (how) {
        case 0:
            dialog.accept();
            break;
        case 1:
            dialog.reject();
            break;
        case 2:
            dialog.done(7);
            break;
        default:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        }
    });
    QCOMPARE(dialog.exec(), expected);
    QCOMPARE(dialog.result(), expected);
    QVERIFY(!dialog.isVisible());
}

void TestFancyWindow::dialogCloseButtonRejects()
{
    FancyDialog dialog;
    dialog.setCentralWidget(new QWidget);
    dialog.setFixedSize(300, 200);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTimer::singleShot(0, &dialog, [&dialog] {
        QTest::mouseClick(child<QToolButton>(dialog.fancyBar(), "FancyTitleBarCloseButton"),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QCOMPARE(rejected.count(), 1);
}

void TestFancyWindow::windowButtonGlyphs_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QPoint>("inked"); // on the drawing, at side 12
    QTest::addColumn<QPoint>("blank"); // transparent

    QTest::newRow("minimize") << int(FancyTitleBar::Glyph::Minimize) << QPoint(6, 6)
                              << QPoint(6, 2);
    QTest::newRow("maximize") << int(FancyTitleBar::Glyph::Maximize) << QPoint(1, 6)
                              << QPoint(6, 6);
    QTest::newRow("restore") << int(FancyTitleBar::Glyph::Restore) << QPoint(1, 8) << QPoint(5, 8);
    QTest::newRow("close") << int(FancyTitleBar::Glyph::Close) << QPoint(6, 6) << QPoint(6, 1);
}

void TestFancyWindow::windowButtonGlyphs()
{
    QFETCH(int, glyph);
    QFETCH(QPoint, inked);
    QFETCH(QPoint, blank);

    const QColor ink(200, 40, 40);
    for (qreal dpr : {1.0, 2.0}) {
        const QPixmap pixmap =
            FancyTitleBar::glyphPixmap(FancyTitleBar::Glyph(glyph), ink, 12, dpr);
        QCOMPARE(pixmap.size(), QSize(12, 12) * dpr);
        const QImage image = pixmap.toImage();
        const QColor at = image.pixelColor(inked * dpr);
        QVERIFY2(at.alpha() > 100 && qAbs(at.red() - ink.red()) < 40,
                 qPrintable(at.name(QColor::HexArgb)));
        QCOMPARE(image.pixelColor(blank * dpr).alpha(), 0);
    }
    QVERIFY(FancyTitleBar::glyphPixmap(FancyTitleBar::Glyph(glyph), ink, 0, 1.0).isNull());
}

void TestFancyWindow::windowButtonGlyphsFollowTheme()
{
    // The theme's text colour for a window button reaches its drawing.
    FancyWindow window;
    auto *close = window.findChild<QToolButton *>(QStringLiteral("FancyTitleBarCloseButton"));
    QVERIFY(close);
    window.setStyleSheet(QStringLiteral("#FancyTitleBarCloseButton { color: #00ff00; }"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage icon = close->icon().pixmap(12, 12).toImage();
    const QColor centre = icon.pixelColor(icon.width() / 2, icon.height() / 2);
    QVERIFY2(centre.green() > 200 && centre.red() < 60, qPrintable(centre.name()));

    // Back to a colour drawn before: the same pixmap again, so that the images Qt derives from
    // it are found in its cache instead of piling up with every theme change.
    const qint64 green = close->icon().pixmap(12, 12).cacheKey();
    window.setStyleSheet(QStringLiteral("#FancyTitleBarCloseButton { color: #ff0000; }"));
    QVERIFY(close->icon().pixmap(12, 12).cacheKey() != green);
    window.setStyleSheet(QStringLiteral("#FancyTitleBarCloseButton { color: #00ff00; }"));
    QCOMPARE(close->icon().pixmap(12, 12).cacheKey(), green);
}

QTEST_MAIN(TestFancyWindow)
#include "tst_fancywindow.moc"
