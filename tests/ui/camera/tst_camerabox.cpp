#include "cameratestsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"

#include <QAction>
#include <QGridLayout>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <climits>
#include <functional>

namespace
{

using CameraTest::Cell;
using BoxCall = std::function<void(CameraBox *)>;

} // namespace

Q_DECLARE_METATYPE(BoxCall)

class TestCameraBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void setGridLayoutSetsSpacing();
    void layoutTable();
    void menuEntries_data();
    void menuEntries();
    void menuFlags_data();
    void menuFlags();
    void defaultWordsInMenu();
    void changeCameranormalStopsAtEndOfList();
    void listSlotsTakeQueuedLists();
    void listSlotsShowPlacedTiles_data();
    void listSlotsShowPlacedTiles();
    void restoreLayout_data();
    void restoreLayout();
    void restoreSingleViewStoresNothing();
    void restoreUnknownDoesNothing_data();
    void restoreUnknownDoesNothing();
    void outOfRangeChangesNothing_data();
    void outOfRangeChangesNothing();
    void unknownTypeStoresAndEmits();
    void showCameraWithoutSenderDoesNothing();
    void sameFlagChangesNothing();
    void operationsWithoutTiles();
    void layoutFor_data();
    void layoutFor();

private:
    QList<Cell> gridCells() const;
    QList<int> visibleTiles() const;
    QPair<int, int> cameraOnDisk() const;

    QTemporaryDir m_appDir;
    QWidget *m_host = nullptr;
    QGridLayout *m_grid = nullptr;
    QList<QWidget *> m_tiles;
    CameraBox *m_box = nullptr;
};

void TestCameraBox::initTestCase()
{
    QVERIFY(m_appDir.isValid());
    SetupConfig::instance()->setAppDir(m_appDir.path());
}

void TestCameraBox::init()
{
    SetupConfig::instance()->setCamera(16, 0);
    m_host = new QWidget;
    m_grid = new QGridLayout(m_host);
    m_tiles.clear();
    for (int i = 0; i < 16; ++i) {
        auto *tile = new QWidget(m_host);
        tile->setObjectName(QStringLiteral("tile%1").arg(i));
        m_tiles.append(tile);
    }
    m_box = new CameraBox(m_host);
    m_box->setGridLayout(m_grid);
    m_box->setWidgets(m_tiles);
    m_box->changeCamera16(0);
}

void TestCameraBox::cleanup()
{
    delete m_host;
    m_host = nullptr;
    m_box = nullptr;
    m_grid = nullptr;
}

QList<Cell> TestCameraBox::gridCells() const
{
    return CameraTest::gridCells(m_grid, m_tiles);
}

QList<int> TestCameraBox::visibleTiles() const
{
    QList<int> shown;
    for (int i = 0; i < m_tiles.size(); ++i) {
        if (!m_tiles.at(i)->isHidden())
            shown.append(i);
    }
    return shown;
}

QPair<int, int> TestCameraBox::cameraOnDisk() const
{
    const auto pair = CameraTest::cameraInFile(SetupConfig::instance()->iniFilePath());
    return qMakePair(pair.first.toInt(), pair.second.toInt());
}

void TestCameraBox::setGridLayoutSetsSpacing()
{
    QGridLayout grid;
    grid.setContentsMargins(9, 9, 9, 9);
    grid.setSpacing(6);
    CameraBox box;
    box.setGridLayout(&grid);
    QCOMPARE(grid.contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(grid.spacing(), 1);
}

void TestCameraBox::layoutTable()
{
    CameraBox box;
    QMap<int, QStringList> expected;
    expected.insert(2, {"1_2", "3_4", "5_6", "7_8", "9_10", "11_12", "13_14", "15_16"});
    expected.insert(4, {"1_4", "5_8", "9_12", "13_16"});
    expected.insert(6, {"1_6", "7_12", "11_16"});
    expected.insert(8, {"1_8", "9_16"});
    expected.insert(9, {"1_9", "8_16"});
    expected.insert(13, {"1_13", "4_16"});
    expected.insert(16, {"1_16"});
    QCOMPARE(box.cameraLayouts(), expected);
    QCOMPARE(box.cameraType(), QStringLiteral("1_16"));
}

void TestCameraBox::menuEntries_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("flags");

    QTest::newRow("type2") << 0 << "切换到2画面"
                           << QStringList{"摄像头1-摄像头2",   "摄像头3-摄像头4",
                                          "摄像头5-摄像头6",   "摄像头7-摄像头8",
                                          "摄像头9-摄像头10",  "摄像头11-摄像头12",
                                          "摄像头13-摄像头14", "摄像头15-摄像头16"}
                           << QStringList{"1_2",  "3_4",   "5_6",   "7_8",
                                          "9_10", "11_12", "13_14", "15_16"};
    QTest::newRow("type4") << 1 << "切换到4画面"
                           << QStringList{"摄像头1-摄像头4", "摄像头5-摄像头8", "摄像头9-摄像头12",
                                          "摄像头13-摄像头16"}
                           << QStringList{"1_4", "5_8", "9_12", "13_16"};
    QTest::newRow("type6") << 2 << "切换到6画面"
                           << QStringList{"摄像头1-摄像头6", "摄像头7-摄像头12",
                                          "摄像头11-摄像头16"}
                           << QStringList{"1_6", "7_12", "11_16"};
    QTest::newRow("type8") << 3 << "切换到8画面"
                           << QStringList{"摄像头1-摄像头8", "摄像头9-摄像头16"}
                           << QStringList{"1_8", "9_16"};
    QTest::newRow("type9") << 4 << "切换到9画面"
                           << QStringList{"摄像头1-摄像头9", "摄像头8-摄像头16"}
                           << QStringList{"1_9", "8_16"};
    QTest::newRow("type13") << 5 << "切换到13画面"
                            << QStringList{"摄像头1-摄像头13", "摄像头4-摄像头16"}
                            << QStringList{"1_13", "4_16"};
    QTest::newRow("type16") << 6 << "切换到16画面" << QStringList{"切换到16画面"}
                            << QStringList{"1_16"};
}

void TestCameraBox::menuEntries()
{
    QFETCH(int, entry);
    QFETCH(QString, title);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, flags);

    QMenu menu;
    m_box->setMenuFlag(QStringLiteral("画面"));
    m_box->setActionFlag(QStringLiteral("摄像头"));
    m_box->initMenu(&menu, QList<bool>{true, true, true, true, true, true, true});

    const QList<QAction *> top = menu.actions();
    QCOMPARE(top.size(), 7);
    QAction *entryAction = top.at(entry);
    QCOMPARE(entryAction->text(), title);

    // Types with one layout are a direct entry; the others get a submenu of their layouts.
    const QList<QAction *> actions =
        flags.size() == 1 ? QList<QAction *>{entryAction} : entryAction->menu()->actions();
    QCOMPARE(entryAction->menu() == nullptr, flags.size() == 1);
    QCOMPARE(actions.size(), texts.size());
    const int type = title.mid(3, title.size() - 5).toInt();
    for (int i = 0; i < actions.size(); ++i) {
        const QAction *action = actions.at(i);
        QCOMPARE(action->text(), texts.at(i));
        QVERIFY(action->shortcut().isEmpty());
        const QVariant index = action->property("index");
        QCOMPARE(index.userType(), int(QMetaType::QString));
        QCOMPARE(index.toString(), flags.at(i).section('_', 0, 0));
        QCOMPARE(action->property("type").userType(), int(QMetaType::Int));
        QCOMPARE(action->property("type").toInt(), type);
        QCOMPARE(action->property("flag").userType(), int(QMetaType::QString));
        QCOMPARE(action->property("flag").toString(), flags.at(i));
    }
}

void TestCameraBox::menuFlags_data()
{
    QTest::addColumn<QList<bool>>("enable");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("sixFlags") << QList<bool>{true, true, true, true, true, true} << QStringList{};
    QTest::newRow("noFlags") << QList<bool>{} << QStringList{};
    QTest::newRow("allOff") << QList<bool>{false, false, false, false, false, false, false}
                            << QStringList{};
    QTest::newRow("onlySixteen") << QList<bool>{false, false, false, false, false, false, true}
                                 << QStringList{"切换到16画面"};
    QTest::newRow("twoAndNine") << QList<bool>{true, false, false, false, true, false, false}
                                << QStringList{"切换到2画面", "切换到9画面"};
    QTest::newRow("eightFlags") << QList<bool>{false, false, false, false, false, true, true, true}
                                << QStringList{"切换到13画面", "切换到16画面"};
}

void TestCameraBox::menuFlags()
{
    QFETCH(QList<bool>, enable);
    QFETCH(QStringList, titles);

    QMenu menu;
    m_box->setMenuFlag(QStringLiteral("画面"));
    m_box->setActionFlag(QStringLiteral("摄像头"));
    m_box->initMenu(&menu, enable);
    QStringList shown;
    const QList<QAction *> actions = menu.actions();
    for (const QAction *action : actions)
        shown.append(action->text());
    QCOMPARE(shown, titles);
}

void TestCameraBox::defaultWordsInMenu()
{
    QMenu menu;
    m_box->initMenu(&menu, QList<bool>{true, false, false, false, false, false, true});
    QCOMPARE(menu.actions().size(), 2);
    QCOMPARE(menu.actions().at(0)->text(), QStringLiteral("切换到2排列"));
    QCOMPARE(menu.actions().at(0)->menu()->actions().at(4)->text(), QStringLiteral("监控9-监控10"));
    QCOMPARE(menu.actions().at(1)->text(), QStringLiteral("切换到16排列"));
}

void TestCameraBox::changeCameranormalStopsAtEndOfList()
{
    m_box->changeCameranormal(12, 3);
    const QList<Cell> expected{
        {12, 0, 0, 1, 1}, {13, 0, 1, 1, 1}, {14, 0, 2, 1, 1}, {15, 1, 0, 1, 1}};
    QCOMPARE(gridCells(), expected);
    QCOMPARE(visibleTiles(), (QList<int>{12, 13, 14, 15}));
}

void TestCameraBox::listSlotsTakeQueuedLists()
{
    // A queued call copies its arguments through the meta-type system.
    QVERIFY(QMetaObject::invokeMethod(
        m_box, "changeCamera13", Qt::QueuedConnection,
        Q_ARG(QList<int>, (QList<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}))));
    QCOMPARE(gridCells().size(), 16);
    QCoreApplication::processEvents();
    QCOMPARE(gridCells().size(), 13);
    QVERIFY(gridCells().contains(Cell{9, 1, 1, 2, 2}));
    QVERIFY(gridCells().contains(Cell{3, 0, 0, 1, 1}));
    QVERIFY(gridCells().contains(Cell{15, 3, 3, 1, 1}));
    QCOMPARE(visibleTiles().size(), 13);
    QCOMPARE(visibleTiles().first(), 3);
}

void TestCameraBox::listSlotsShowPlacedTiles_data()
{
    QTest::addColumn<BoxCall>("call");
    QTest::addColumn<QList<Cell>>("cells");

    QTest::newRow("longerList") << BoxCall([](CameraBox *b) {
        b->changeCamera6(QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    }) << QList<Cell>{{0, 0, 0, 2, 2}, {1, 0, 2, 1, 1}, {2, 1, 2, 1, 1},
                      {3, 2, 2, 1, 1}, {4, 2, 1, 1, 1}, {5, 2, 0, 1, 1}};
    QTest::newRow("descendingList") << BoxCall([](CameraBox *b) {
        b->changeCamera6(QList<int>{5, 4, 3, 2, 1, 0});
    }) << QList<Cell>{{0, 2, 0, 1, 1}, {1, 2, 1, 1, 1}, {2, 2, 2, 1, 1},
                      {3, 1, 2, 1, 1}, {4, 0, 2, 1, 1}, {5, 0, 0, 2, 2}};
    QTest::newRow("scatteredList") << BoxCall([](CameraBox *b) {
        b->changeCamera8(QList<int>{15, 0, 3, 6, 9, 12, 1, 2});
    }) << QList<Cell>{{0, 0, 3, 1, 1}, {1, 3, 1, 1, 1}, {2, 3, 0, 1, 1},  {3, 1, 3, 1, 1},
                      {6, 2, 3, 1, 1}, {9, 3, 3, 1, 1}, {12, 3, 2, 1, 1}, {15, 0, 0, 3, 3}};
}

void TestCameraBox::listSlotsShowPlacedTiles()
{
    QFETCH(BoxCall, call);
    QFETCH(QList<Cell>, cells);

    call(m_box);
    QCOMPARE(gridCells(), cells);
    QList<int> placed;
    for (const Cell &cell : cells)
        placed.append(cell.tile);
    QCOMPARE(visibleTiles(), placed);
}

void TestCameraBox::restoreLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");

    QTest::newRow("9_16") << "9_16" << 8 << 8;
    QTest::newRow("11_16") << "11_16" << 6 << 10;
    QTest::newRow("8_16") << "8_16" << 9 << 7;
    QTest::newRow("4_16") << "4_16" << 13 << 3;
    QTest::newRow("15_16") << "15_16" << 2 << 14;
    QTest::newRow("1_16") << "1_16" << 16 << 0;
}

void TestCameraBox::restoreLayout()
{
    QFETCH(QString, layout);
    QFETCH(int, type);
    QFETCH(int, index);

    m_box->changeCamera1(3);
    m_box->setCameraType(layout);
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    m_box->restoreCamera();

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), type);
    QCOMPARE(spy.at(0).at(1).toString(), layout);
    QCOMPARE(spy.at(0).at(2).toBool(), false);
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(type, index));
    QCOMPARE(cameraOnDisk(), qMakePair(type, index));
    QCOMPARE(gridCells().size(), type);
    QCOMPARE(gridCells().first().tile, index);
    QCOMPARE(gridCells().last().tile, index + type - 1);
    QCOMPARE(visibleTiles().size(), type);
}

void TestCameraBox::restoreSingleViewStoresNothing()
{
    SetupConfig::instance()->setCamera(2, 2);
    m_box->setCameraType(QStringLiteral("0_5"));
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    m_box->restoreCamera();

    QCOMPARE(gridCells(), (QList<Cell>{{4, 0, 0, 1, 1}}));
    QCOMPARE(visibleTiles(), QList<int>{4});
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("0_5"));
    QCOMPARE(spy.at(0).at(2).toBool(), true);
    QCOMPARE(SetupConfig::instance()->camera(), qMakePair(2, 2));
    QCOMPARE(cameraOnDisk(), qMakePair(2, 2));
}

void TestCameraBox::restoreUnknownDoesNothing_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("warns");

    QTest::newRow("notOffered") << "2_5" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("trailingSpace") << "1_16 " << false;
    QTest::newRow("singleWithoutCamera") << "0_" << true;
    QTest::newRow("singleBeyondList") << "0_17" << true;
    QTest::newRow("singleNotANumber") << "0_abc" << true;
    QTest::newRow("singleHuge") << "0_99999999999" << true;
}

void TestCameraBox::restoreUnknownDoesNothing()
{
    QFETCH(QString, layout);
    QFETCH(bool, warns);

    const QList<Cell> before = gridCells();
    m_box->setCameraType(layout);
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^CameraBox: ")));
    m_box->restoreCamera();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(gridCells(), before);
    QCOMPARE(visibleTiles().size(), 16);
    QCOMPARE(cameraOnDisk(), qMakePair(16, 0));
}

void TestCameraBox::outOfRangeChangesNothing_data()
{
    QTest::addColumn<BoxCall>("call");

    QTest::newRow("oneBeyondEnd") << BoxCall([](CameraBox *b) { b->changeCamera1(16); });
    QTest::newRow("oneNegative") << BoxCall([](CameraBox *b) { b->changeCamera1(-1); });
    QTest::newRow("twoLastTile") << BoxCall([](CameraBox *b) { b->changeCamera2(15); });
    QTest::newRow("twoHuge") << BoxCall([](CameraBox *b) { b->changeCamera2(INT_MAX); });
    QTest::newRow("fourBeyondEnd") << BoxCall([](CameraBox *b) { b->changeCamera4(16); });
    QTest::newRow("fourNegative") << BoxCall([](CameraBox *b) { b->changeCamera4(-1); });
    QTest::newRow("sixPastEnd") << BoxCall([](CameraBox *b) { b->changeCamera6(11); });
    QTest::newRow("sixHuge") << BoxCall([](CameraBox *b) { b->changeCamera6(INT_MAX); });
    QTest::newRow("eightPastEnd") << BoxCall([](CameraBox *b) { b->changeCamera8(9); });
    QTest::newRow("nineNegative") << BoxCall([](CameraBox *b) { b->changeCamera9(INT_MIN); });
    QTest::newRow("thirteenPastEnd") << BoxCall([](CameraBox *b) { b->changeCamera13(4); });
    QTest::newRow("sixteenNegative") << BoxCall([](CameraBox *b) { b->changeCamera16(-5); });
    QTest::newRow("normalZeroFlag") << BoxCall([](CameraBox *b) { b->changeCameranormal(0, 0); });
    QTest::newRow("normalNegativeFlag")
        << BoxCall([](CameraBox *b) { b->changeCameranormal(0, -3); });
    QTest::newRow("customPastEnd") << BoxCall([](CameraBox *b) { b->changeCameracustom(14, 6); });
    QTest::newRow("customHugeIndex")
        << BoxCall([](CameraBox *b) { b->changeCameracustom(INT_MAX, 13); });
    QTest::newRow("listTooShort") << BoxCall([](CameraBox *b) {
        b->changeCamera6(QList<int>{10, 11, 12, 13, 14});
    });
    QTest::newRow("listBeyondEnd") << BoxCall([](CameraBox *b) {
        b->changeCamera6(QList<int>{11, 12, 13, 14, 15, 16});
    });
    QTest::newRow("listNegative") << BoxCall([](CameraBox *b) {
        b->changeCamera8(QList<int>{-1, 0, 1, 2, 3, 4, 5, 6});
    });
    QTest::newRow("listTwice") << BoxCall([](CameraBox *b) {
        b->changeCamera6(QList<int>{0, 0, 1, 2, 3, 4});
    });
    QTest::newRow("thirteenListShort") << BoxCall([](CameraBox *b) {
        b->changeCamera13(QList<int>{0, 1, 2});
    });
}

void TestCameraBox::outOfRangeChangesNothing()
{
    QFETCH(BoxCall, call);

    const QList<Cell> before = gridCells();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^CameraBox: ")));
    call(m_box);
    QCOMPARE(gridCells(), before);
    QCOMPARE(visibleTiles().size(), 16);
}

void TestCameraBox::unknownTypeStoresAndEmits()
{
    const QList<Cell> before = gridCells();
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    m_box->showCamera(7, 0);
    QCOMPARE(gridCells(), before);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 7);
    QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("1_16"));
    QCOMPARE(cameraOnDisk(), qMakePair(7, 0));
}

void TestCameraBox::showCameraWithoutSenderDoesNothing()
{
    const QList<Cell> before = gridCells();
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    m_box->showCamera();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(gridCells(), before);
}

void TestCameraBox::sameFlagChangesNothing()
{
    QMenu menu;
    m_box->initMenu(&menu, QList<bool>{true, true, true, true, true, true, true});
    {
        // Marks the file: a write by the box would put 16 back.
        QSettings settings(SetupConfig::instance()->iniFilePath(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("/Camera/Type"), 9);
    }
    QSignalSpy spy(m_box, &CameraBox::changeCamera);
    m_box->changeCamera1(2);
    CameraTest::findAction(&menu, QStringLiteral("1_16"))->trigger();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(gridCells(), (QList<Cell>{{2, 0, 0, 1, 1}}));
    QCOMPARE(cameraOnDisk().first, 9);

    CameraTest::findAction(&menu, QStringLiteral("13_16"))->trigger();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(m_box->cameraType(), QStringLiteral("13_16"));
    QCOMPARE(cameraOnDisk(), qMakePair(4, 12));
    CameraTest::findAction(&menu, QStringLiteral("13_16"))->trigger();
    QCOMPARE(spy.count(), 1);
}

void TestCameraBox::operationsWithoutTiles()
{
    CameraBox box;
    QGridLayout grid;
    box.hideCamera();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^CameraBox: ")));
    box.restoreCamera();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^CameraBox: ")));
    box.showCamera(16, 0);
    box.setGridLayout(&grid);
    box.setWidgets({nullptr, nullptr});
    box.hideCamera();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^CameraBox: ")));
    box.changeCamera2(0);
    QCOMPARE(grid.count(), 0);
    QCOMPARE(box.layoutFor(2, 0), QString());
}

void TestCameraBox::layoutFor_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("layout");

    QTest::newRow("sixteen") << 16 << 0 << "1_16";
    QTest::newRow("sixLast") << 6 << 10 << "11_16";
    QTest::newRow("sixMiddle") << 6 << 6 << "7_12";
    QTest::newRow("nineLast") << 9 << 7 << "8_16";
    QTest::newRow("thirteenLast") << 13 << 3 << "4_16";
    QTest::newRow("twoLast") << 2 << 14 << "15_16";
    QTest::newRow("sixPastEnd") << 6 << 14 << "";
    QTest::newRow("sixteenPastEnd") << 16 << 99 << "";
    QTest::newRow("negative") << 4 << -1 << "";
    QTest::newRow("typeSeven") << 7 << 0 << "";
    QTest::newRow("typeZero") << 0 << 0 << "";
    QTest::newRow("singleView") << 1 << 0 << "";
    QTest::newRow("notOffered") << 4 << 1 << "";
    QTest::newRow("huge") << 2 << INT_MAX << "";
    QTest::newRow("hugeType") << INT_MAX << 0 << "";
}

void TestCameraBox::layoutFor()
{
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(QString, layout);
    QCOMPARE(m_box->layoutFor(type, index), layout);
}

QTEST_MAIN(TestCameraBox)
#include "tst_camerabox.moc"
