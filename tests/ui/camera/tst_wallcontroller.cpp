#include "../../testsupport.h"
#include "cameratestsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/wallcontroller.h"
#include "ui/camera/wallfocusframe.h"
#include "ui/camera/wallhelpoverlay.h"
#include "ui/camera/wallnotice.h"
#include "wall/snapshotwriter.h"
#include "wall/wallkeys.h"
#include "wall/walltour.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QKeySequence>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace
{

constexpr int PanelWidth = 800;
constexpr int PanelHeight = 600;

using CameraTest::cameraInFile;

const QString Natural = QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");

// The channels the positions of the wall show, in position order.
QString channelsShown(const CameraPanel *panel)
{
    QStringList channels;
    for (int position = 0; position < CameraPanel::TileCount; ++position)
        channels << QString::number(panel->tiles().indexOf(panel->tileAt(position)) + 1);
    return channels.join(QLatin1Char(' '));
}

// A state of the wall in a row: layout type and first position, the position shown alone and
// the focus (-1: none), then F (full screen), H (the list of keys) and T (touring).
WallState wall(int type, int index, int single = -1, int focus = -1, const char *flags = "")
{
    WallState state;
    state.type = type;
    state.index = index;
    state.single = single;
    state.focus = focus;
    state.fullScreen = std::strchr(flags, 'F') != nullptr;
    state.help = std::strchr(flags, 'H') != nullptr;
    state.touring = std::strchr(flags, 'T') != nullptr;
    return state;
}

} // namespace

char *toString(const WallState &state)
{
    return QTest::toString(state.toString());
}

Q_DECLARE_METATYPE(WallState)

class tst_WallController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void keyMap_data();
    void keyMap();
    void arrangement_data();
    void arrangement();
    void tourShowsGroupsWithoutStoring();

private:
    CameraPanel *shownPanel(const QByteArray &camera = "Index=0\nType=16\n");
    QString ini() const;

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<QWidget> m_host;
};

void tst_WallController::initTestCase()
{
    // Snapshots go to the pictures folder of this home only.
    QVERIFY(m_home.isValid());
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral(".config")).toUtf8());
    QVERIFY(SnapshotWriter::folder().startsWith(m_home.path()));
}

void tst_WallController::cleanup()
{
    m_host.reset();
    m_appDir.reset();
}

QString tst_WallController::ini() const
{
    return m_appDir->filePath(QStringLiteral("config/SetupConfig.ini"));
}

// The page in an active window on the [Camera] section given, the keyboard focus on it.
CameraPanel *tst_WallController::shownPanel(const QByteArray &camera)
{
    m_appDir = std::make_unique<QTemporaryDir>();
    if (!m_appDir->isValid() ||
        !TestSupport::writeFile(ini(), "[Camera]\n" + camera + "\n[Config]\nTheme=dark_blue\n"))
        return nullptr;
    SetupConfig::instance()->setAppDir(m_appDir->path());
    m_host = std::make_unique<QWidget>();
    m_host->setFixedSize(PanelWidth, PanelHeight);
    auto *panel = new CameraPanel(m_host.get());
    panel->setGeometry(0, 0, PanelWidth, PanelHeight);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    if (!QTest::qWaitForWindowActive(m_host.get()))
        return nullptr;
    panel->setFocus();
    QCoreApplication::sendPostedEvents();
    panel->layout()->activate();
    return panel;
}

// The key map, each row once through the rule and once on a real wall: the key pressed on
// the page in the state before leads to the state after, stores the layout when the row says
// so and takes the snapshot it names; the focus frame is painted over the edge of its tile.
void tst_WallController::keyMap_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<WallState>("before");
    QTest::addColumn<WallState>("after");
    // "stores <type> <index>", "snapshot <subject of the file name>" or nothing.
    QTest::addColumn<QString>("outcome");

    // Alt+digit: the layouts of 1, 2, 4, 6, 8, 9, 13 and 16 tiles around the first tile.
    QTest::newRow("Alt+1 shows the first tile alone")
        << "Alt+1" << wall(16, 0) << wall(16, 0, 0, 0) << "";
    QTest::newRow("Alt+3 from 7_12 is 5_8") << "Alt+3" << wall(6, 6) << wall(4, 4) << "stores 4 4";
    QTest::newRow("Alt+4 from 11_12 is 11_16")
        << "Alt+4" << wall(2, 10) << wall(6, 10) << "stores 6 10";
    QTest::newRow("Alt+6 from 13_16 is 8_16")
        << "Alt+6" << wall(4, 12) << wall(9, 7) << "stores 9 7";
    QTest::newRow("Alt+7 from 3_4 is 1_13")
        << "Alt+7" << wall(2, 2) << wall(13, 0) << "stores 13 0";
    QTest::newRow("Alt+8 on 16 changes nothing") << "Alt+8" << wall(16, 0) << wall(16, 0) << "";
    QTest::newRow("Alt+3 ends the single view")
        << "Alt+3" << wall(16, 0, 5, 5) << wall(4, 4, -1, 5) << "stores 4 4";
    QTest::newRow("Alt+8 back to the same layout")
        << "Alt+8" << wall(16, 0, 5) << wall(16, 0) << "stores 16 0";
    QTest::newRow("keypad Alt+2 drops a focus it hides")
        << "Alt+Num+2" << wall(16, 0, -1, 9) << wall(2, 0) << "stores 2 0";

    // PageDown / PageUp: the groups of the layout, as the menu's entries.
    QTest::newRow("PgDown 1_4 to 5_8, focus along")
        << "PgDown" << wall(4, 0, -1, 1) << wall(4, 4, -1, 5) << "stores 4 4";
    QTest::newRow("PgUp wraps to 13_16") << "PgUp" << wall(4, 0) << wall(4, 12) << "stores 4 12";
    QTest::newRow("PgDown 7_12 to 11_16") << "PgDown" << wall(6, 6) << wall(6, 10) << "stores 6 10";
    QTest::newRow("PgDown on 16 changes nothing") << "PgDown" << wall(16, 0) << wall(16, 0) << "";
    QTest::newRow("PgDown in the single view: the next tile alone")
        << "PgDown" << wall(16, 0, 15) << wall(16, 0, 0, 0) << "";

    // Arrows: the focus frame over the tiles as they lie on screen.
    QTest::newRow("Right without focus takes the first tile")
        << "Right" << wall(4, 8) << wall(4, 8, -1, 8) << "";
    QTest::newRow("Left in 16") << "Left" << wall(16, 0, -1, 1) << wall(16, 0, -1, 0) << "";
    QTest::newRow("Up at the top stays") << "Up" << wall(16, 0, -1, 2) << wall(16, 0, -1, 2) << "";
    QTest::newRow("Right from the large tile of 7_12")
        << "Right" << wall(6, 6, -1, 6) << wall(6, 6, -1, 7) << "";
    QTest::newRow("Down from the large tile of 7_12")
        << "Down" << wall(6, 6, -1, 6) << wall(6, 6, -1, 11) << "";
    QTest::newRow("Right into the centre of 1_13")
        << "Right" << wall(13, 0, -1, 4) << wall(13, 0, -1, 6) << "";
    QTest::newRow("Up from the bottom of 4_16")
        << "Up" << wall(13, 3, -1, 12) << wall(13, 3, -1, 8) << "";
    QTest::newRow("a focus off the layout comes back to it")
        << "Down" << wall(4, 4, -1, 0) << wall(4, 4, -1, 4) << "";
    QTest::newRow("arrows in the single view stay on it")
        << "Right" << wall(16, 0, 3) << wall(16, 0, 3, 3) << "";

    // Enter and Escape.
    QTest::newRow("Enter shows the focused tile alone")
        << "Return" << wall(16, 0, -1, 5) << wall(16, 0, 5, 5) << "";
    QTest::newRow("Enter brings the layout back")
        << "Return" << wall(9, 7, 9, 9) << wall(9, 7, -1, 9) << "stores 9 7";
    QTest::newRow("keypad Enter") << "Num+Enter" << wall(16, 0, -1, 2) << wall(16, 0, 2, 2) << "";
    QTest::newRow("Esc closes the list first")
        << "Esc" << wall(16, 0, 5, 5, "FH") << wall(16, 0, 5, 5, "F") << "";
    QTest::newRow("Esc then brings the layout back")
        << "Esc" << wall(4, 0, 2, 2, "F") << wall(4, 0, -1, 2, "F") << "stores 4 0";
    QTest::newRow("Esc then leaves full screen")
        << "Esc" << wall(16, 0, -1, 2, "F") << wall(16, 0, -1, 2) << "";
    QTest::newRow("Esc at last drops the focus")
        << "Esc" << wall(16, 0, -1, 2) << wall(16, 0) << "";

    // Function keys and Ctrl.
    QTest::newRow("F1 shows the list") << "F1" << wall(16, 0) << wall(16, 0, -1, -1, "H") << "";
    QTest::newRow("F11 full screen") << "F11" << wall(16, 0, 3) << wall(16, 0, 3, -1, "F") << "";
    QTest::newRow("Ctrl+T starts the tour")
        << "Ctrl+T" << wall(4, 0) << wall(4, 0, -1, -1, "T") << "";
    QTest::newRow("Ctrl+S the focused tile")
        << "Ctrl+S" << wall(16, 0, -1, 5) << wall(16, 0, -1, 5) << "snapshot C06";
    QTest::newRow("Ctrl+S the single tile")
        << "Ctrl+S" << wall(16, 0, 11, 2) << wall(16, 0, 11, 2) << "snapshot C12";
    QTest::newRow("Ctrl+S the whole wall")
        << "Ctrl+S" << wall(9, 0) << wall(9, 0) << "snapshot wall";
    QTest::newRow("a key the wall does not use")
        << "A" << wall(16, 0, -1, 3) << wall(16, 0, -1, 3) << "";
}

void tst_WallController::keyMap()
{
    QFETCH(QString, key);
    QFETCH(WallState, before);
    QFETCH(WallState, after);
    QFETCH(QString, outcome);
    const QString stored =
        outcome.startsWith(QLatin1String("stores ")) ? outcome.mid(7) : QString();
    const QString snapshot =
        outcome.startsWith(QLatin1String("snapshot ")) ? outcome.mid(9) : QString();

    const int combination = QKeySequence::fromString(key)[0];
    QVERIFY2(combination != 0, qPrintable(key));
    const WallKeys::Step step = WallKeys::apply(before, combination);
    QCOMPARE(step.after, after);
    QCOMPARE(step.storesLayout, !stored.isEmpty());
    QCOMPARE(step.snapshot, !snapshot.isEmpty());

    CameraPanel *panel = shownPanel();
    QVERIFY(panel);
    WallController *controller = panel->wall();
    controller->moveTo(before, false);
    // A value no layout writes: still there afterwards means the layout was not stored.
    QSettings(ini(), QSettings::IniFormat)
        .setValue(QStringLiteral("Camera/Type"), QStringLiteral("mark"));
    QSignalSpy fullScreen(controller, &WallController::fullScreenRequested);
    QSignalSpy saved(controller->snapshots(), &SnapshotWriter::saved);

    QTest::keyClick(panel, Qt::Key(combination & ~int(Qt::KeyboardModifierMask)),
                    Qt::KeyboardModifiers(combination & int(Qt::KeyboardModifierMask)));

    QCOMPARE(controller->state(), after);
    const QPair<QString, QString> onDisk = cameraInFile(ini());
    QCOMPARE(onDisk.first + QLatin1Char(' ') + onDisk.second,
             stored.isEmpty() ? QStringLiteral("mark 0") : stored);
    QCOMPARE(fullScreen.count(), after.fullScreen == before.fullScreen ? 0 : 1);
    QCOMPARE(controller->helpOverlay()->isVisible(), after.help);
    CameraDisplay *framed = after.focus >= 0 ? panel->tileAt(after.focus) : nullptr;
    if (framed && !framed->isVisibleTo(panel))
        framed = nullptr;
    QCOMPARE(controller->focusFrame()->isVisibleTo(panel), framed != nullptr);
    if (framed) {
        // On top of the tile's own parts, inside its edge.
        const QImage image = framed->grab().toImage();
        const QRect box = framed->rect();
        for (const QPoint &edge : {box.topLeft(), box.bottomRight(), QPoint(box.center().x(), 0),
                                   QPoint(1, box.center().y())})
            QCOMPARE(image.pixelColor(edge), WallFocusFrame::LineColor);
        QVERIFY(image.pixelColor(box.center()) != WallFocusFrame::LineColor);
    }

    if (!snapshot.isEmpty()) {
        QVERIFY(saved.wait());
        const QString path = saved.first().first().toString();
        QCOMPARE(QFileInfo(path).path(), SnapshotWriter::folder());
        QVERIFY2(QFileInfo(path).fileName().startsWith(snapshot + QLatin1Char('_')),
                 qPrintable(path));
        const QImage image(path);
        const int position = after.single >= 0 ? after.single : after.focus;
        const QSize size = position >= 0 ? panel->tileAt(position)->snapshot().size()
                                         : panel->gridLayout()->geometry().size();
        QCOMPARE(image.size(), size);
        // The window says where it went.
        QVERIFY(controller->notice()->isVisible());
        QVERIFY(controller->notice()->text().contains(path));
        QVERIFY(QFile::remove(path));
    }
}

// Placing a channel at a position (a drop) or the menu's natural order: the tile that showed
// the channel takes the position's old channel; a tile out of the layout takes the place of the
// one it swaps with. The cells stay filled, by position, and the arrangement is stored at once.
void tst_WallController::arrangement_data()
{
    QTest::addColumn<QString>("start"); // the stored arrangement; empty: none
    QTest::addColumn<int>("single");    // the position shown alone first, or -1
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("channel"); // placed at the position; 0: the natural order
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("inForce");
    QTest::addColumn<bool>("stored");

    QTest::newRow("both on screen")
        << "" << -1 << "1_16" << 6 << 0 << "6 2 3 4 5 1 7 8 9 10 11 12 13 14 15 16" << true;
    QTest::newRow("from off screen")
        << "" << -1 << "1_4" << 16 << 2 << "1 2 16 4 5 6 7 8 9 10 11 12 13 14 15 3" << true;
    QTest::newRow("into the large tile")
        << "" << -1 << "7_12" << 12 << 6 << "1 2 3 4 5 6 12 8 9 10 11 7 13 14 15 16" << true;
    QTest::newRow("onto the single view")
        << "" << 3 << "1_16" << 9 << 3 << "1 2 3 9 5 6 7 8 4 10 11 12 13 14 15 16" << true;
    QTest::newRow("already there") << "" << -1 << "1_16" << 5 << 4 << Natural << false;
    QTest::newRow("natural order from the menu")
        << "3 1 2 4 5 6 7 8 9 10 11 12 13 14 15 16" << -1 << "1_16" << 0 << -1 << Natural << true;
}

void tst_WallController::arrangement()
{
    QFETCH(QString, start);
    QFETCH(int, single);
    QFETCH(QString, layout);
    QFETCH(int, channel);
    QFETCH(int, position);
    QFETCH(QString, inForce);
    QFETCH(bool, stored);

    const QByteArray line = start.isEmpty() ? QByteArray() : "Arrangement=" + start.toLatin1();
    CameraPanel *panel = shownPanel("Index=0\nType=16\n" + line);
    QVERIFY(panel);
    QCOMPARE(channelsShown(panel), start.isEmpty() ? Natural : start);
    panel->chooseLayout(layout, true);
    if (single >= 0)
        panel->maximise(single);
    const QList<CameraTest::Cell> before =
        CameraTest::gridCells(panel->gridLayout(), panel->cameraBox()->widgets());

    if (channel > 0)
        panel->placeChannel(channel, position);
    else
        panel->wall()->naturalOrderAction()->trigger();

    QCOMPARE(channelsShown(panel), inForce);
    const QList<QWidget *> byPosition = panel->cameraBox()->widgets();
    QCOMPARE(CameraTest::gridCells(panel->gridLayout(), byPosition), before);
    for (QWidget *tile : byPosition)
        QCOMPARE(tile->isVisibleTo(panel), panel->gridLayout()->indexOf(tile) >= 0);
    QCOMPARE(panel->maximisedPosition(), single);
    const QSettings file(ini(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("Camera/Arrangement")).toString(), stored ? inForce : start);
}

// The tour steps through the groups and stores none of them; input on the wall pauses it.
void tst_WallController::tourShowsGroupsWithoutStoring()
{
    CameraPanel *panel = shownPanel("Index=4\nType=4\n");
    QVERIFY(panel);
    WallController *controller = panel->wall();
    controller->tour()->setIntervalMs(20);
    controller->tourAction()->trigger();
    QVERIFY(controller->tour()->isRunning());
    QSignalSpy steps(controller->tour(), &WallTour::step);
    QVERIFY(steps.wait());
    QCOMPARE(controller->state().type, 4);
    QVERIFY(controller->state().index != 4);

    QTest::mouseClick(panel->tileAt(controller->state().index), Qt::LeftButton);
    QVERIFY(controller->tour()->isPaused());

    controller->tourAction()->trigger();
    QVERIFY(!controller->tour()->isRunning());
    QCOMPARE(cameraInFile(ini()), qMakePair(QStringLiteral("4"), QStringLiteral("4")));
}

QTEST_MAIN(tst_WallController)
#include "tst_wallcontroller.moc"
