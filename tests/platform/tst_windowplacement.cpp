#include <QtTest>

#include "platform/windowplacement.h"

Q_DECLARE_METATYPE(WindowPlacement::Anchor)

namespace
{

const QRect FullHd(0, 0, 1920, 1040); // 1920x1080 with a 40 px panel at the bottom
const QRect Laptop(0, 27, 1366, 741); // 1366x768 with a 27 px panel at the top
const QRect RightScreen(1920, 0, 1280, 1024);

} // namespace

class tst_WindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void position_data();
    void position();
    void normalGeometry_data();
    void normalGeometry();
    void keptInside_data();
    void keptInside();
};

// Auxiliary windows once opened at 0,0, over the title-bar button that opened them.
void tst_WindowPlacement::position_data()
{
    using A = WindowPlacement::Anchor;
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<WindowPlacement::Anchor>("how");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("position");

    const QRect logButton(300, 0, 50, 50);
    QTest::newRow("belowButton") << logButton << A::BelowAnchor << FullHd << QSize(400, 300)
                                 << QPoint(300, 50);
    QTest::newRow("belowButtonNearRightEdge") << QRect(1880, 0, 40, 50) << A::BelowAnchor << FullHd
                                              << QSize(400, 300) << QPoint(1520, 50);
    QTest::newRow("belowButtonUnderTopPanel")
        << QRect(100, 27, 50, 50) << A::BelowAnchor << Laptop << QSize(200, 300) << QPoint(100, 77);
    QTest::newRow("aboveButtonNearBottom") << QRect(500, 900, 50, 50) << A::BelowAnchor << FullHd
                                           << QSize(300, 300) << QPoint(500, 600);
    QTest::newRow("noRoomAboveOrBelow") << QRect(500, 400, 50, 50) << A::BelowAnchor << Laptop
                                        << QSize(300, 500) << QPoint(500, 268);
    QTest::newRow("buttonOnSecondScreen") << QRect(3150, 0, 50, 50) << A::BelowAnchor << RightScreen
                                          << QSize(200, 250) << QPoint(3000, 50);
    QTest::newRow("centredOnWindow")
        << FullHd << A::CentredOnAnchor << FullHd << QSize(600, 400) << QPoint(660, 320);
    QTest::newRow("centredOnWindowPartlyOffScreen")
        << QRect(-500, 600, 1000, 700) << A::CentredOnAnchor << FullHd << QSize(600, 400)
        << QPoint(0, 640);
    QTest::newRow("largerThanScreen")
        << Laptop << A::CentredOnAnchor << Laptop << QSize(1600, 900) << QPoint(0, 27);
}

void tst_WindowPlacement::position()
{
    QFETCH(QRect, anchor);
    QFETCH(WindowPlacement::Anchor, how);
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    QTEST(WindowPlacement::position(anchor, how, available, size), "position");
}

// A restored console once shrank to its minimum size, as it had no normal geometry of its own.
void tst_WindowPlacement::normalGeometry_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("geometry");

    const QSize minimum(560, 400);
    QTest::newRow("firstTimeThreeQuarters")
        << QRect() << FullHd << minimum << QRect(240, 130, 1440, 780);
    QTest::newRow("firstTimeOnLaptop")
        << QRect() << Laptop << minimum << QRect(171, 120, 1024, 555);
    QTest::newRow("lastNormalKept")
        << QRect(100, 80, 1200, 700) << FullHd << minimum << QRect(100, 80, 1200, 700);
    QTest::newRow("fromLargerScreenShrunk")
        << QRect(200, 100, 1600, 900) << Laptop << minimum << QRect(0, 27, 1366, 741);
    QTest::newRow("offScreenMovedIn")
        << QRect(2500, 300, 1000, 600) << FullHd << minimum << QRect(920, 300, 1000, 600);
    QTest::newRow("belowMinimumGrown")
        << QRect(100, 100, 264, 643) << FullHd << minimum << QRect(100, 100, 560, 643);
    QTest::newRow("maximisedIsNotNormal")
        << QRect(0, 0, 1920, 1040) << FullHd << minimum << QRect(240, 130, 1440, 780);
    QTest::newRow("emptyIsNotNormal")
        << QRect(300, 300, 0, 0) << FullHd << minimum << QRect(240, 130, 1440, 780);
    QTest::newRow("minimumAboveScreen")
        << QRect() << QRect(0, 0, 500, 350) << minimum << QRect(0, 0, 560, 400);
}

void tst_WindowPlacement::normalGeometry()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, available);
    QFETCH(QSize, minimum);
    QTEST(WindowPlacement::normalGeometry(stored, available, minimum), "geometry");
}

// The floated side panel once kept the height of the docked one, its bottom with the buttons
// below the screen's edge.
void tst_WindowPlacement::keptInside_data()
{
    QTest::addColumn<QRect>("geometry"); // frame included
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("inside");

    const QSize panel(254, 420);
    QTest::newRow("floatedDockAsTallAsScreen")
        << QRect(1666, 50, 254, 1055) << FullHd << panel << QRect(1666, 0, 254, 1040);
    QTest::newRow("reappearsBelowBottomEdge")
        << QRect(400, 900, 254, 600) << FullHd << panel << QRect(400, 440, 254, 600);
    QTest::newRow("underTopPanelOnLaptop")
        << QRect(1100, 0, 254, 500) << Laptop << panel << QRect(1100, 27, 254, 500);
    QTest::newRow("shorterThanItsContentsGrown")
        << QRect(100, 100, 254, 120) << FullHd << panel << QRect(100, 100, 254, 420);
    QTest::newRow("onSecondScreen")
        << QRect(3100, 800, 254, 500) << RightScreen << panel << QRect(2946, 524, 254, 500);
}

void tst_WindowPlacement::keptInside()
{
    QFETCH(QRect, geometry);
    QFETCH(QRect, available);
    QFETCH(QSize, minimum);
    QTEST(WindowPlacement::keptInside(geometry, available, minimum), "inside");
}

QTEST_APPLESS_MAIN(tst_WindowPlacement)
#include "tst_windowplacement.moc"
