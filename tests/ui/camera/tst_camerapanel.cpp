// Mouse input goes through the platform layer, as a user's would: the application's button
// state, double-click detection and the choice of the widget under the cursor are all real.
#define QTEST_QPA_MOUSE_HANDLING

#include "../../testsupport.h"
#include "cameratestsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/video/videoview.h"
#include "video/gstruntime.h"
#include "video/videochannel.h"
#include "video/videochannelset.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace
{

constexpr int PanelWidth = 800;
constexpr int PanelHeight = 600;

using CameraTest::cameraInFile;
using CameraTest::Cell;
using CameraTest::findAction;

struct Offered {
    const char *layout;
    int type;
    int index;
};

// Every layout the menu offers, with its type and first tile.
const Offered OfferedLayouts[] = {
    {"1_2", 2, 0},    {"3_4", 2, 2},    {"5_6", 2, 4},    {"7_8", 2, 6},  {"9_10", 2, 8},
    {"11_12", 2, 10}, {"13_14", 2, 12}, {"15_16", 2, 14}, {"1_4", 4, 0},  {"5_8", 4, 4},
    {"9_12", 4, 8},   {"13_16", 4, 12}, {"1_6", 6, 0},    {"7_12", 6, 6}, {"11_16", 6, 10},
    {"1_8", 8, 0},    {"9_16", 8, 8},   {"1_9", 9, 0},    {"8_16", 9, 7}, {"1_13", 13, 0},
    {"4_16", 13, 3},  {"1_16", 16, 0},
};

QList<Cell> squareCells(int side, int index)
{
    QList<Cell> cells;
    for (int k = 0; k < side * side; ++k)
        cells.append({index + k, k / side, k % side, 1, 1});
    return cells;
}

// Where each tile of a layout belongs: (row, column, row span, column span) of its k-th tile.
QList<Cell> expectedCells(int type, int index)
{
    QList<QVector<int>> shape;
    switch (type) {
    case 1:
        shape = {{0, 0, 1, 1}};
        break;
    case 2:
        shape = {{0, 0, 1, 1}, {0, 1, 1, 1}};
        break;
    case 4:
        return squareCells(2, index);
    case 9:
        return squareCells(3, index);
    case 16:
        return squareCells(4, index);
    case 6:
        shape = {{0, 0, 2, 2}, {0, 2, 1, 1}, {1, 2, 1, 1},
                 {2, 2, 1, 1}, {2, 1, 1, 1}, {2, 0, 1, 1}};
        break;
    case 8:
        shape = {{0, 0, 3, 3}, {0, 3, 1, 1}, {1, 3, 1, 1}, {2, 3, 1, 1},
                 {3, 3, 1, 1}, {3, 2, 1, 1}, {3, 1, 1, 1}, {3, 0, 1, 1}};
        break;
    case 13:
        shape = {{0, 0, 1, 1}, {0, 1, 1, 1}, {0, 2, 1, 1}, {0, 3, 1, 1}, {1, 0, 1, 1},
                 {2, 0, 1, 1}, {1, 1, 2, 2}, {1, 3, 1, 1}, {2, 3, 1, 1}, {3, 0, 1, 1},
                 {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}};
        break;
    default:
        break;
    }
    QList<Cell> cells;
    for (int k = 0; k < shape.size(); ++k)
        cells.append({index + k, shape[k][0], shape[k][1], shape[k][2], shape[k][3]});
    return cells;
}

QList<Cell> sortedByTile(QList<Cell> cells)
{
    std::sort(cells.begin(), cells.end(),
              [](const Cell &a, const Cell &b) { return a.tile < b.tile; });
    return cells;
}

// Records where the menu would open instead of blocking in QMenu::exec.
class RecordingPanel : public CameraPanel
{
public:
    QList<QPoint> popups;

protected:
    void popupMenu(const QPoint &globalPos) override { popups.append(globalPos); }
};

QList<Cell> gridCells(const CameraPanel &panel)
{
    return CameraTest::gridCells(panel.gridLayout(), panel.tiles());
}

// Empty when exactly the expected tiles are in the grid, visible and where they belong, and
// every other tile is hidden and out of the grid; otherwise what is wrong.
QString layoutMismatch(const CameraPanel &panel, const QList<Cell> &expected)
{
    const QList<Cell> actual = gridCells(panel);
    const QList<Cell> wanted = sortedByTile(expected);
    if (panel.gridLayout()->count() != wanted.size())
        return QStringLiteral("grid holds %1 items, expected %2")
            .arg(panel.gridLayout()->count())
            .arg(wanted.size());
    if (!(actual == wanted)) {
        QStringList lines;
        for (const Cell &cell : actual)
            lines << QString::fromLatin1(
                QScopedArrayPointer<char>(CameraTest::toString(cell)).data());
        return QStringLiteral("grid holds: ") + lines.join(QStringLiteral("; "));
    }
    QList<int> inLayout;
    for (const Cell &cell : wanted)
        inLayout.append(cell.tile);
    const QList<CameraDisplay *> tiles = panel.tiles();
    for (int i = 0; i < tiles.size(); ++i) {
        const bool shown = tiles.at(i)->isVisibleTo(const_cast<CameraPanel *>(&panel));
        if (shown != inLayout.contains(i))
            return QStringLiteral("tile %1 is %2").arg(i).arg(shown ? "visible" : "hidden");
    }
    if (panel.gridLayout()->indexOf(const_cast<CameraPanel *>(&panel)) >= 0)
        return QStringLiteral("the page is in its own grid");
    return QString();
}

// Empty when the tiles on screen are arranged as their grid cells say: no overlaps, and a
// tile that lies wholly above (left of) another in the grid lies above (left of) it on screen.
QString geometryMismatch(const CameraPanel &panel, const QList<Cell> &cells)
{
    const QList<CameraDisplay *> tiles = panel.tiles();
    for (const Cell &a : cells) {
        const QRect ra = tiles.at(a.tile)->geometry();
        if (!panel.rect().contains(ra) || ra.isEmpty())
            return QStringLiteral("tile %1 lies outside the page").arg(a.tile);
        for (const Cell &b : cells) {
            if (a.tile == b.tile)
                continue;
            const QRect rb = tiles.at(b.tile)->geometry();
            if (ra.intersects(rb))
                return QStringLiteral("tiles %1 and %2 overlap").arg(a.tile).arg(b.tile);
            if (a.row + a.rowSpan <= b.row && ra.bottom() >= rb.top())
                return QStringLiteral("tile %1 is not above tile %2").arg(a.tile).arg(b.tile);
            if (a.column + a.columnSpan <= b.column && ra.right() >= rb.left())
                return QStringLiteral("tile %1 is not left of tile %2").arg(a.tile).arg(b.tile);
        }
    }
    return QString();
}

void settle(CameraPanel &panel)
{
    QCoreApplication::sendPostedEvents();
    panel.layout()->activate();
}

QLabel *captionOf(CameraDisplay *tile)
{
    const QList<QLabel *> labels = tile->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->objectName().isEmpty())
            return label;
    }
    return nullptr;
}

} // namespace

class TestCameraPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshStoreShowsSixteenTiles();
    void layoutFromMenu_data();
    void layoutFromMenu();
    void everyLayoutToEveryOther();
    void storedLayoutAppliedAtStart_data();
    void storedLayoutAppliedAtStart();
    void unusableStoredLayoutFallsBack_data();
    void unusableStoredLayoutFallsBack();
    void maximiseAndRestore_data();
    void maximiseAndRestore();
    void layoutChosenWhileMaximised();
    void pageDoubleClickNeverGridsItself_data();
    void pageDoubleClickNeverGridsItself();
    void rightPressOpensMenu_data();
    void rightPressOpensMenu();
    void otherPressesOpenNothing_data();
    void otherPressesOpenNothing();
    void realMenuIsModalAtCursor();
    void tilesDestroyedWithPage();
    void restartKeepsLayout();
    void tilesAskForTheirStreams_data();
    void tilesAskForTheirStreams();
    void hiddenTileStopsDecodingAndResumes_data();
    void hiddenTileStopsDecodingAndResumes();
    void cleanupTestCase() { GstRuntime::shutdown(); }

private:
    void writeStore(const QString &type, const QString &index);
    QPair<QString, QString> cameraOnDisk() const;
    RecordingPanel *shownPanel();
    QPoint pointOf(CameraPanel &panel, const QString &where);

    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<QWidget> m_host;
};

void TestCameraPanel::init()
{
    writeStore(QStringLiteral("16"), QStringLiteral("0"));
}

void TestCameraPanel::cleanup()
{
    m_host.reset();
    m_appDir.reset();
}

// A new folder for every file: QSettings caches a file by size and time stamp, and a rewrite of
// the same size within the file system's clock tick would go unnoticed within one process.
void TestCameraPanel::writeStore(const QString &type, const QString &index)
{
    m_appDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_appDir->isValid());
    QVERIFY(TestSupport::writeFile(
        m_appDir->filePath(QStringLiteral("config/SetupConfig.ini")),
        QStringLiteral("[Camera]\nIndex=%1\nType=%2\n\n[Config]\nTheme=dark_blue\n")
            .arg(index, type)
            .toUtf8()));
    SetupConfig::instance()->setAppDir(m_appDir->path());
}

QPair<QString, QString> TestCameraPanel::cameraOnDisk() const
{
    return cameraInFile(m_appDir->path() + QStringLiteral("/config/SetupConfig.ini"));
}

// The page sits in a fixed-size window, as it sits in the main window's page stack.
RecordingPanel *TestCameraPanel::shownPanel()
{
    m_host = std::make_unique<QWidget>();
    m_host->setFixedSize(PanelWidth, PanelHeight);
    auto *panel = new RecordingPanel;
    panel->setParent(m_host.get());
    panel->setGeometry(0, 0, PanelWidth, PanelHeight);
    m_host->show();
    if (!QTest::qWaitForWindowExposed(m_host.get()))
        return nullptr;
    settle(*panel);
    return panel;
}

// A point of the page in page coordinates: on a tile's parts, in the margins or in a grid gap.
QPoint TestCameraPanel::pointOf(CameraPanel &panel, const QString &where)
{
    settle(panel);
    CameraDisplay *tile = panel.tiles().at(5);
    QWidget *part = tile;
    if (where == QLatin1String("indexButton"))
        part = tile->findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton"));
    else if (where == QLatin1String("stateLabel"))
        part = tile->findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
    else if (where == QLatin1String("titleLabel"))
        part = tile->findChild<QLabel *>(QStringLiteral("CameraDisplayTitleLabel"));
    else if (where == QLatin1String("caption"))
        part = captionOf(tile);
    else if (where == QLatin1String("leftMargin"))
        return QPoint(0, panel.height() / 2);
    else if (where == QLatin1String("topMargin"))
        return QPoint(panel.width() / 2, 0);
    else if (where == QLatin1String("bottomMargin"))
        return QPoint(panel.width() / 2, panel.height() - 1);
    else if (where == QLatin1String("columnGap"))
        return QPoint(tile->geometry().right() + 1, tile->geometry().center().y());
    else if (where == QLatin1String("rowGap"))
        return QPoint(tile->geometry().center().x(), tile->geometry().bottom() + 1);
    return part->mapTo(&panel, part->rect().center());
}

void TestCameraPanel::freshStoreShowsSixteenTiles()
{
    auto panel = shownPanel();
    QVERIFY(panel);
    const QString mismatch = layoutMismatch(*panel, expectedCells(16, 0));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(panel->cameraBox()->cameraType(), QStringLiteral("1_16"));
    QCOMPARE(panel->statusText(), QStringLiteral("主菜单：16  子菜单：1_16"));
    QVERIFY(!panel->isTileMaximised());
    const QList<CameraDisplay *> tiles = panel->tiles();
    QCOMPARE(tiles.size(), 16);
    for (int i = 0; i < tiles.size(); ++i) {
        QCOMPARE(tiles.at(i)->objectName(), QStringLiteral("CameraDisplay"));
        QCOMPARE(tiles.at(i)->index(), QStringLiteral("C%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        QCOMPARE(tiles.at(i)->title(), QStringLiteral("Unknow"));
        QCOMPARE(tiles.at(i)->state(), QStringLiteral("UNKNOW"));
        QCOMPARE(tiles.at(i)->videoText(), QStringLiteral("通道 %1").arg(i + 1));
        QCOMPARE(tiles.at(i)->parentWidget(), panel);
    }
    QCOMPARE(tiles.at(8)->index(), QStringLiteral("C09"));
    QCOMPARE(tiles.at(9)->index(), QStringLiteral("C10"));
    const QMargins margins = panel->layout()->contentsMargins();
    QCOMPARE(margins, QMargins(1, 1, 0, 1));
    QCOMPARE(panel->gridLayout()->spacing(), 1);
}

void TestCameraPanel::layoutFromMenu_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("gridRows");
    QTest::addColumn<int>("gridColumns");
    QTest::addColumn<int>("largeTile");

    // Layout string, type, index, rows x columns of the grid, large tile (-1 for none).
    QTest::newRow("1_2") << "1_2" << 2 << 0 << 1 << 2 << -1;
    QTest::newRow("3_4") << "3_4" << 2 << 2 << 1 << 2 << -1;
    QTest::newRow("5_6") << "5_6" << 2 << 4 << 1 << 2 << -1;
    QTest::newRow("7_8") << "7_8" << 2 << 6 << 1 << 2 << -1;
    QTest::newRow("9_10") << "9_10" << 2 << 8 << 1 << 2 << -1;
    QTest::newRow("11_12") << "11_12" << 2 << 10 << 1 << 2 << -1;
    QTest::newRow("13_14") << "13_14" << 2 << 12 << 1 << 2 << -1;
    QTest::newRow("15_16") << "15_16" << 2 << 14 << 1 << 2 << -1;
    QTest::newRow("1_4") << "1_4" << 4 << 0 << 2 << 2 << -1;
    QTest::newRow("5_8") << "5_8" << 4 << 4 << 2 << 2 << -1;
    QTest::newRow("9_12") << "9_12" << 4 << 8 << 2 << 2 << -1;
    QTest::newRow("13_16") << "13_16" << 4 << 12 << 2 << 2 << -1;
    QTest::newRow("1_6") << "1_6" << 6 << 0 << 3 << 3 << 0;
    QTest::newRow("7_12") << "7_12" << 6 << 6 << 3 << 3 << 6;
    QTest::newRow("11_16") << "11_16" << 6 << 10 << 3 << 3 << 10;
    QTest::newRow("1_8") << "1_8" << 8 << 0 << 4 << 4 << 0;
    QTest::newRow("9_16") << "9_16" << 8 << 8 << 4 << 4 << 8;
    QTest::newRow("1_9") << "1_9" << 9 << 0 << 3 << 3 << -1;
    QTest::newRow("8_16") << "8_16" << 9 << 7 << 3 << 3 << -1;
    QTest::newRow("1_13") << "1_13" << 13 << 0 << 4 << 4 << 6;
    QTest::newRow("4_16") << "4_16" << 13 << 3 << 4 << 4 << 9;
    QTest::newRow("1_16") << "1_16" << 16 << 0 << 4 << 4 << -1;
}

void TestCameraPanel::layoutFromMenu()
{
    QFETCH(QString, layout);
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(int, gridRows);
    QFETCH(int, gridColumns);
    QFETCH(int, largeTile);

    auto panel = shownPanel();
    QVERIFY(panel);
    if (layout == panel->cameraBox()->cameraType()) {
        QAction *other = findAction(panel->menu(), QStringLiteral("1_2"));
        QVERIFY(other);
        other->trigger();
    }
    QSignalSpy spy(panel->cameraBox(), SIGNAL(changeCamera(int, QString, bool)));
    QAction *action = findAction(panel->menu(), layout);
    QVERIFY(action);
    action->trigger();
    settle(*panel);

    const QList<Cell> cells = expectedCells(type, index);
    QCOMPARE(cells.size(), type);
    QCOMPARE(cells.first().tile, index);
    QString mismatch = layoutMismatch(*panel, cells);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    mismatch = geometryMismatch(*panel, cells);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));

    int rows = 0;
    int columns = 0;
    for (const Cell &cell : cells) {
        rows = qMax(rows, cell.row + cell.rowSpan);
        columns = qMax(columns, cell.column + cell.columnSpan);
        const bool large = cell.rowSpan > 1 || cell.columnSpan > 1;
        QCOMPARE(large, cell.tile == largeTile);
    }
    QCOMPARE(rows, gridRows);
    QCOMPARE(columns, gridColumns);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), type);
    QCOMPARE(spy.at(0).at(1).toString(), layout);
    QCOMPARE(spy.at(0).at(2).toBool(), false);
    QCOMPARE(panel->cameraBox()->cameraType(), layout);
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(type, index));
    QCOMPARE(cameraOnDisk(), qMakePair(QString::number(type), QString::number(index)));
    QCOMPARE(panel->statusText(), QStringLiteral("主菜单：%1  子菜单：%2").arg(type).arg(layout));
}

void TestCameraPanel::everyLayoutToEveryOther()
{
    auto panel = shownPanel();
    QVERIFY(panel);
    for (const Offered &from : OfferedLayouts) {
        for (const Offered &to : OfferedLayouts) {
            if (qstrcmp(from.layout, to.layout) == 0)
                continue;
            findAction(panel->menu(), QString::fromLatin1(from.layout))->trigger();
            findAction(panel->menu(), QString::fromLatin1(to.layout))->trigger();
            const QString mismatch = layoutMismatch(*panel, expectedCells(to.type, to.index));
            QVERIFY2(
                mismatch.isEmpty(),
                qPrintable(QStringLiteral("%1 -> %2: %3").arg(from.layout, to.layout, mismatch)));
        }
    }
    settle(*panel);
    // The last switch was to "4_16".
    const QString mismatch = geometryMismatch(*panel, expectedCells(13, 3));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestCameraPanel::storedLayoutAppliedAtStart_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("layout");

    QTest::newRow("11_16") << 6 << 10 << "11_16";
    QTest::newRow("4_16") << 13 << 3 << "4_16";
    QTest::newRow("8_16") << 9 << 7 << "8_16";
    QTest::newRow("1_2") << 2 << 0 << "1_2";
    QTest::newRow("1_16") << 16 << 0 << "1_16";
}

void TestCameraPanel::storedLayoutAppliedAtStart()
{
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(QString, layout);

    writeStore(QString::number(type), QString::number(index));
    auto panel = shownPanel();
    QVERIFY(panel);
    const QString mismatch = layoutMismatch(*panel, expectedCells(type, index));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(panel->cameraBox()->cameraType(), layout);
    QCOMPARE(panel->statusText(), QStringLiteral("主菜单：%1  子菜单：%2").arg(type).arg(layout));

    // The same layout chosen again from the menu is already on screen: nothing moves and the
    // file is not written (the mark below would be overwritten).
    {
        QSettings settings(SetupConfig::instance()->iniFilePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("/Camera/Type"), QStringLiteral("mark"));
    }
    QSignalSpy spy(panel->cameraBox(), SIGNAL(changeCamera(int, QString, bool)));
    findAction(panel->menu(), layout)->trigger();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(cameraOnDisk().first, QStringLiteral("mark"));
    QVERIFY(layoutMismatch(*panel, expectedCells(type, index)).isEmpty());

    // A maximised tile brings back the stored layout, not the 16-tile one.
    const int tile = index + type - 1;
    QTest::mouseDClick(panel->tiles().at(tile), Qt::LeftButton);
    settle(*panel);
    QVERIFY(panel->isTileMaximised());
    QTest::mouseDClick(panel->tiles().at(tile), Qt::LeftButton);
    QVERIFY(layoutMismatch(*panel, expectedCells(type, index)).isEmpty());
}

void TestCameraPanel::unusableStoredLayoutFallsBack_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("index");

    QTest::newRow("sixPastEnd") << "6"
                                << "14";
    QTest::newRow("sixteenPastEnd") << "16"
                                    << "99";
    QTest::newRow("negativeIndex") << "4"
                                   << "-1";
    QTest::newRow("typeSeven") << "7"
                               << "0";
    QTest::newRow("typeNotANumber") << "abc"
                                    << "0";
    QTest::newRow("singleView") << "1"
                                << "3";
    QTest::newRow("notOffered") << "4"
                                << "1";
    QTest::newRow("hugeValues") << "2147483647"
                                << "2147483647";
    QTest::newRow("lowestIndex") << "2"
                                 << "-2147483648";
}

void TestCameraPanel::unusableStoredLayoutFallsBack()
{
    QFETCH(QString, type);
    QFETCH(QString, index);

    bool typeIsNumber = false;
    type.toInt(&typeIsNumber);
    bool indexIsNumber = false;
    index.toInt(&indexIsNumber);
    const QRegularExpression notANumber(QStringLiteral("^SetupConfig: .* is not a number"));
    if (!typeIsNumber)
        QTest::ignoreMessage(QtWarningMsg, notANumber);
    if (!indexIsNumber)
        QTest::ignoreMessage(QtWarningMsg, notANumber);
    writeStore(type, index);

    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression(QStringLiteral(
                          "^CameraPanel: the stored camera layout .* showing type 16, index 0")));
    auto panel = shownPanel();
    QVERIFY(panel);
    const QString mismatch = layoutMismatch(*panel, expectedCells(16, 0));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(panel->cameraBox()->cameraType(), QStringLiteral("1_16"));
    QCOMPARE(panel->statusText(), QStringLiteral("主菜单：16  子菜单：1_16"));
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(16, 0));
    QCOMPARE(cameraOnDisk(), qMakePair(QStringLiteral("16"), QStringLiteral("0")));
}

void TestCameraPanel::maximiseAndRestore_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("tile");

    QTest::newRow("C06 of 16") << "1_16" << 5;
    QTest::newRow("large tile of 11_16") << "11_16" << 10;
    QTest::newRow("corner of 11_16") << "11_16" << 15;
    QTest::newRow("centre of 4_16") << "4_16" << 9;
    QTest::newRow("edge of 4_16") << "4_16" << 3;
    QTest::newRow("second of 15_16") << "15_16" << 15;
    QTest::newRow("last of 8_16") << "8_16" << 15;
    QTest::newRow("bottom of 9_16") << "9_16" << 12;
}

void TestCameraPanel::maximiseAndRestore()
{
    QFETCH(QString, layout);
    QFETCH(int, tile);

    auto panel = shownPanel();
    QVERIFY(panel);
    if (panel->cameraBox()->cameraType() != layout)
        findAction(panel->menu(), layout)->trigger();
    settle(*panel);
    const QList<Cell> before = gridCells(*panel);
    const QPair<int, int> stored = SetupConfig::instance()->camera();
    CameraDisplay *target = panel->tiles().at(tile);
    QSignalSpy spy(panel->cameraBox(), SIGNAL(changeCamera(int, QString, bool)));

    QTest::mouseDClick(target, Qt::LeftButton);
    settle(*panel);
    QVERIFY(panel->isTileMaximised());
    QString mismatch = layoutMismatch(*panel, {{tile, 0, 0, 1, 1}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    // The tile fills the page inside its margins.
    QCOMPARE(target->geometry(), panel->rect().adjusted(1, 1, 0, -1));
    QCOMPARE(spy.count(), 0);

    QTest::mouseDClick(target, Qt::LeftButton);
    settle(*panel);
    QVERIFY(!panel->isTileMaximised());
    QCOMPARE(gridCells(*panel), before);
    mismatch = layoutMismatch(*panel, before);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toString(), layout);
    QCOMPARE(SetupConfig::instance()->camera(), stored);

    // And once more: the restored layout maximises again.
    QTest::mouseDClick(target, Qt::LeftButton);
    QVERIFY(panel->isTileMaximised());
    QCOMPARE(gridCells(*panel), (QList<Cell>{{tile, 0, 0, 1, 1}}));
}

void TestCameraPanel::layoutChosenWhileMaximised()
{
    auto panel = shownPanel();
    QVERIFY(panel);
    QTest::mouseDClick(panel->tiles().at(5), Qt::LeftButton);
    QVERIFY(panel->isTileMaximised());

    findAction(panel->menu(), QStringLiteral("1_4"))->trigger();
    settle(*panel);
    QString mismatch = layoutMismatch(*panel, expectedCells(4, 0));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QVERIFY(panel->isTileMaximised());

    // The next double click restores the chosen layout instead of maximising tile 2.
    QTest::mouseDClick(panel->tiles().at(2), Qt::LeftButton);
    settle(*panel);
    QVERIFY(!panel->isTileMaximised());
    mismatch = layoutMismatch(*panel, expectedCells(4, 0));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(4, 0));

    QTest::mouseDClick(panel->tiles().at(2), Qt::LeftButton);
    QVERIFY(panel->isTileMaximised());
    QCOMPARE(gridCells(*panel), (QList<Cell>{{2, 0, 0, 1, 1}}));
}

void TestCameraPanel::pageDoubleClickNeverGridsItself_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("maximised");

    QTest::newRow("leftMargin") << "leftMargin" << false;
    QTest::newRow("topMargin") << "topMargin" << false;
    QTest::newRow("bottomMargin") << "bottomMargin" << false;
    QTest::newRow("columnGap") << "columnGap" << false;
    QTest::newRow("rowGap") << "rowGap" << false;
    QTest::newRow("leftMarginWhileMaximised") << "leftMargin" << true;
    QTest::newRow("bottomMarginWhileMaximised") << "bottomMargin" << true;
}

void TestCameraPanel::pageDoubleClickNeverGridsItself()
{
    QFETCH(QString, where);
    QFETCH(bool, maximised);

    auto panel = shownPanel();
    QVERIFY(panel);
    const QPoint point = pointOf(*panel, where);
    QCOMPARE(panel->childAt(point), nullptr);
    if (maximised) {
        QTest::mouseDClick(panel->tiles().at(5), Qt::LeftButton);
        settle(*panel);
        QVERIFY(panel->isTileMaximised());
    }
    const QList<Cell> before = gridCells(*panel);

    QTest::mouseDClick(panel, Qt::LeftButton, {}, point);
    settle(*panel);
    QCOMPARE(panel->gridLayout()->indexOf(panel), -1);
    QCOMPARE(gridCells(*panel), before);
    QCOMPARE(panel->gridLayout()->count(), before.size());
    QCOMPARE(panel->isTileMaximised(), maximised);
    QVERIFY(panel->isVisible());
}

void TestCameraPanel::rightPressOpensMenu_data()
{
    QTest::addColumn<QString>("where");

    QTest::newRow("indexButton") << "indexButton";
    QTest::newRow("stateLabel") << "stateLabel";
    QTest::newRow("titleLabel") << "titleLabel";
    QTest::newRow("caption") << "caption";
    QTest::newRow("leftMargin") << "leftMargin";
    QTest::newRow("topMargin") << "topMargin";
    QTest::newRow("bottomMargin") << "bottomMargin";
    QTest::newRow("columnGap") << "columnGap";
}

void TestCameraPanel::rightPressOpensMenu()
{
    QFETCH(QString, where);

    auto panel = shownPanel();
    QVERIFY(panel);
    const QPoint point = pointOf(*panel, where);
    // The offscreen cursor does not follow synthesised input: put it where the press happens.
    QCursor::setPos(panel->mapToGlobal(point));
    QTest::mousePress(panel, Qt::RightButton, {}, point);
    QTest::mouseRelease(panel, Qt::RightButton, {}, point);
    QCOMPARE(panel->popups.size(), 1);
    QCOMPARE(panel->popups.first(), panel->mapToGlobal(point));
    QVERIFY(!panel->isTileMaximised());
}

void TestCameraPanel::otherPressesOpenNothing_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QList<int>>("buttons");

    using Buttons = QList<int>;
    QTest::newRow("leftOnCaption") << "caption" << Buttons{Qt::LeftButton};
    QTest::newRow("middleOnCaption") << "caption" << Buttons{Qt::MiddleButton};
    QTest::newRow("leftOnIndexButton") << "indexButton" << Buttons{Qt::LeftButton};
    QTest::newRow("leftOnMargin") << "leftMargin" << Buttons{Qt::LeftButton};
    QTest::newRow("middleOnMargin") << "leftMargin" << Buttons{Qt::MiddleButton};
    QTest::newRow("leftHeldThenRightOnCaption")
        << "caption" << Buttons{Qt::LeftButton, Qt::RightButton};
    QTest::newRow("middleHeldThenRightOnStateLabel")
        << "stateLabel" << Buttons{Qt::MiddleButton, Qt::RightButton};
    QTest::newRow("leftHeldThenRightOnMargin")
        << "topMargin" << Buttons{Qt::LeftButton, Qt::RightButton};
}

void TestCameraPanel::otherPressesOpenNothing()
{
    QFETCH(QString, where);
    QFETCH(QList<int>, buttons);

    auto panel = shownPanel();
    QVERIFY(panel);
    const QPoint point = pointOf(*panel, where);
    Qt::MouseButtons held;
    for (int button : buttons) {
        QTest::mousePress(panel, Qt::MouseButton(button), {}, point);
        held |= Qt::MouseButton(button);
    }
    QCOMPARE(QGuiApplication::mouseButtons(), held);
    for (auto it = buttons.crbegin(); it != buttons.crend(); ++it)
        QTest::mouseRelease(panel, Qt::MouseButton(*it), {}, point);
    QCOMPARE(panel->popups.size(), 0);
    QCOMPARE(QGuiApplication::mouseButtons(), Qt::MouseButtons());
}

void TestCameraPanel::realMenuIsModalAtCursor()
{
    QWidget host;
    host.setFixedSize(PanelWidth, PanelHeight);
    auto *page = new CameraPanel(&host);
    page->setGeometry(0, 0, PanelWidth, PanelHeight);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    CameraPanel &panel = *page;
    settle(panel);

    QPointer<QWidget> popup;
    bool shown = false;
    QPoint menuPos;
    QPoint cursor;
    QTimer::singleShot(0, page, [&] {
        popup = QApplication::activePopupWidget();
        auto *menu = qobject_cast<QMenu *>(popup.data());
        if (!menu)
            return;
        shown = menu->isVisible();
        menuPos = menu->pos();
        cursor = QCursor::pos();
        // The operator picks 1 to 4 from the open menu.
        findAction(menu, QStringLiteral("1_4"))->trigger();
        menu->close();
    });
    QLabel *caption = captionOf(panel.tiles().at(0));
    const QPoint pressAt = caption->mapToGlobal(caption->rect().center());
    QCursor::setPos(pressAt);
    QTest::mousePress(caption, Qt::RightButton, {}, caption->rect().center());
    // The press returns only after the menu has closed again.
    QCOMPARE(popup.data(), panel.menu());
    QVERIFY(shown);
    QCOMPARE(menuPos, cursor);
    QCOMPARE(cursor, pressAt);
    QVERIFY(!panel.menu()->isVisible());
    QTest::mouseRelease(caption, Qt::RightButton, {}, caption->mapFromGlobal(pressAt));
    const QString mismatch = layoutMismatch(panel, expectedCells(4, 0));
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(cameraOnDisk(), qMakePair(QStringLiteral("4"), QStringLiteral("0")));
}

void TestCameraPanel::tilesDestroyedWithPage()
{
    writeStore(QStringLiteral("2"), QStringLiteral("6"));
    auto page = std::make_unique<CameraPanel>();
    QList<QPointer<CameraDisplay>> tiles;
    const QList<CameraDisplay *> all = page->tiles();
    for (CameraDisplay *tile : all)
        tiles.append(tile);
    QCOMPARE(gridCells(*page).size(), 2);
    page.reset();
    for (const QPointer<CameraDisplay> &tile : qAsConst(tiles))
        QVERIFY(tile.isNull());
}

void TestCameraPanel::restartKeepsLayout()
{
    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    const QString helper = QStringLiteral(TEST_HELPER_DIR "/helper_camerapanel");

    auto run = [&](const QStringList &arguments, QString *layout, QList<Cell> *cells) {
        QProcess process;
        process.start(helper, arguments);
        QVERIFY2(process.waitForFinished(60000), qPrintable(process.errorString()));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        const QStringList lines =
            QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        cells->clear();
        for (const QString &line : lines) {
            const QStringList words = line.split(' ');
            if (words.first() == QLatin1String("layout")) {
                *layout = words.value(1);
            } else if (words.first() == QLatin1String("tile")) {
                QCOMPARE(words.size(), 7);
                cells->append({words.at(1).mid(1).toInt() - 1, words.at(3).toInt(),
                               words.at(4).toInt(), words.at(5).toInt(), words.at(6).toInt()});
                QCOMPARE(words.at(2), QStringLiteral("visible"));
            }
        }
    };

    QString layout;
    QList<Cell> cells;
    // First start in an empty folder: the defaults, written to a new file.
    run({appDir.path()}, &layout, &cells);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(layout, QStringLiteral("1_16"));
    QCOMPARE(cells, expectedCells(16, 0));
    QCOMPARE(cameraInFile(appDir.path() + QStringLiteral("/config/SetupConfig.ini")),
             qMakePair(QStringLiteral("16"), QStringLiteral("0")));

    run({appDir.path(), QStringLiteral("11_16")}, &layout, &cells);
    QCOMPARE(cameraInFile(appDir.path() + QStringLiteral("/config/SetupConfig.ini")),
             qMakePair(QStringLiteral("6"), QStringLiteral("10")));
    QCOMPARE(layout, QStringLiteral("11_16"));
    QCOMPARE(cells, sortedByTile(expectedCells(6, 10)));

    run({appDir.path()}, &layout, &cells);
    QCOMPARE(layout, QStringLiteral("11_16"));
    QCOMPARE(cells, sortedByTile(expectedCells(6, 10)));

    run({appDir.path(), QStringLiteral("4_16")}, &layout, &cells);
    run({appDir.path()}, &layout, &cells);
    QCOMPARE(layout, QStringLiteral("4_16"));
    QCOMPARE(cells, sortedByTile(expectedCells(13, 3)));
}

namespace
{

// Channels 1 to 16 with the source given for each number, "" for none.
std::unique_ptr<VideoChannelSet> channelsOf(const std::function<QString(int)> &sourceOf)
{
    QVector<ChannelConfig::Channel> configs;
    for (int n = 1; n <= ChannelConfig::ChannelCount; ++n)
        configs.append({n, sourceOf(n), QString(), QString()});
    return std::make_unique<VideoChannelSet>(configs, QString());
}

} // namespace

void TestCameraPanel::tilesAskForTheirStreams_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("maximised");
    QTest::addColumn<bool>("active");
    // Per tile: G grid stream, M main stream, - nothing.
    QTest::addColumn<QString>("streams");

    QTest::newRow("wholeWall") << "1_16" << -1 << true << "GGGGGGGGGGGGGGGG";
    QTest::newRow("pageNotShown") << "1_16" << -1 << false << "----------------";
    QTest::newRow("secondFour") << "5_8" << -1 << true << "----GGGG--------";
    QTest::newRow("pair") << "15_16" << -1 << true << "--------------GG";
    QTest::newRow("thirteen") << "4_16" << -1 << true << "---GGGGGGGGGGGGG";
    QTest::newRow("tileAlone") << "1_16" << 5 << true << "-----M----------";
    QTest::newRow("tileAloneNotShown") << "1_4" << 2 << false << "----------------";
}

void TestCameraPanel::tilesAskForTheirStreams()
{
    QFETCH(QString, layout);
    QFETCH(int, maximised);
    QFETCH(bool, active);
    QFETCH(QString, streams);

    // Sources that never start a pipeline: only what the tiles ask for is looked at.
    const auto channels = channelsOf([](int) { return QStringLiteral("test:plaid"); });
    RecordingPanel *panel = shownPanel();
    QVERIFY(panel);
    panel->setChannels(channels.get());
    panel->setActive(active);
    findAction(panel->menu(), layout)->trigger();
    if (maximised >= 0)
        QTest::mouseDClick(panel->tiles().at(maximised), Qt::LeftButton);

    QString asked;
    for (CameraDisplay *tile : panel->tiles()) {
        const VideoChannel::Stream stream = tile->videoView()->demand();
        asked += stream == VideoChannel::Stream::Main   ? QLatin1Char('M')
                 : stream == VideoChannel::Stream::Grid ? QLatin1Char('G')
                                                        : QLatin1Char('-');
    }
    QCOMPARE(asked, streams);
}

void TestCameraPanel::hiddenTileStopsDecodingAndResumes_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("maximised");
    QTest::addColumn<bool>("firstRuns");
    QTest::addColumn<bool>("sixthRuns");

    QTest::newRow("firstFour") << "1_4" << -1 << true << false;
    QTest::newRow("secondFour") << "5_8" << -1 << false << true;
    QTest::newRow("sixthAlone") << "1_16" << 5 << false << true;
}

// Channels 1 and 6 decode generated pictures; the others have no camera.
void TestCameraPanel::hiddenTileStopsDecodingAndResumes()
{
    QFETCH(QString, layout);
    QFETCH(int, maximised);
    QFETCH(bool, firstRuns);
    QFETCH(bool, sixthRuns);

    constexpr int Timeout = 60000;
    const auto channels = channelsOf(
        [](int n) { return n == 1 || n == 6 ? QStringLiteral("test:ball") : QString(); });
    VideoChannel *first = channels->channel(1);
    VideoChannel *sixth = channels->channel(6);
    auto playing = [](VideoChannel *channel) {
        return channel->state() == VideoChannel::State::Playing;
    };
    RecordingPanel *panel = shownPanel();
    QVERIFY(panel);
    panel->setChannels(channels.get());
    panel->setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(playing(first) && playing(sixth), Timeout);

    findAction(panel->menu(), layout)->trigger();
    if (maximised >= 0)
        QTest::mouseDClick(panel->tiles().at(maximised), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(first->isRunning() == firstRuns && sixth->isRunning() == sixthRuns,
                             Timeout);
    QCOMPARE(playing(first), firstRuns);
    QTRY_COMPARE_WITH_TIMEOUT(playing(sixth), sixthRuns, Timeout);

    // Back to the whole wall: both play again.
    if (maximised >= 0)
        QTest::mouseDClick(panel->tiles().at(maximised), Qt::LeftButton);
    findAction(panel->menu(), QStringLiteral("1_16"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(playing(first) && playing(sixth), Timeout);
}

QTEST_MAIN(TestCameraPanel)
#include "tst_camerapanel.moc"
