// The station model on the widgets: each camera on the tile that shows its channel and on its
// page, titles by their rule, counts and rates on the chart page, the log boxes, and pages
// attached after the fact.
#include <QtTest>
#include <QtWidgets>

#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

#include "common/config/setupconfig.h"
#include "station/stationmodel.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/average/averagechart.h"
#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/chartpanel.h"
#include "ui/chart/instant/instantchart.h"
#include "ui/chart/instant/instantchartpanel.h"
#include "ui/chart/pie/piechart.h"
#include "ui/common/ctextedit.h"
#include "ui/station/stationview.h"

QT_CHARTS_USE_NAMESPACE

namespace
{

using Messages = QList<QPair<QString, QByteArray>>;

QPair<QString, QByteArray> msg(const QString &leaf, const QByteArray &payload)
{
    return {QStringLiteral("station/") + leaf, payload};
}

QLabel *stateLabelOf(QWidget *header)
{
    return header->findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
}

QLabel *titleLabelOf(QWidget *header)
{
    return header->findChild<QLabel *>(QStringLiteral("CameraDisplayTitleLabel"));
}

// What a header shows: state text, the property the theme colours by, and the title.
QString shown(QWidget *header)
{
    const QLabel *state = stateLabelOf(header);
    return QStringLiteral("%1/%2/%3")
        .arg(state->text(), state->property("verdict").toString(), titleLabelOf(header)->text());
}

// The console's pages, wired to a model as the main window wires them.
struct Console {
    Console() : model(QStringLiteral("station")), view(&model, nullptr)
    {
        for (int n = 1; n <= StationModel::CameraCount; ++n) {
            auto *page = new CameraParam;
            page->setTitle(StationView::pageDefaultTitle());
            pages.append(page);
        }
    }
    ~Console() { qDeleteAll(pages); }
    void attachAll()
    {
        view.attachCameraWall(&wall);
        for (int n = 1; n <= StationModel::CameraCount; ++n)
            view.attachCameraPage(n, pages.at(n - 1));
        view.attachChartPage(&chart);
        view.attachLog(chart.logTextEdit());
    }
    void feed(const Messages &messages)
    {
        for (const auto &m : messages)
            model.handleMessage(m.first, m.second);
    }
    StationModel model;
    StationView view;
    CameraPanel wall;
    ChartPanel chart;
    QList<CameraParam *> pages;
};

} // namespace

class tst_StationView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cameraOnTileAndPage_data();
    void cameraOnTileAndPage();
    void ratesFollowGaugeRange_data();
    void ratesFollowGaugeRange();
    void countsOnPie();
    void logBoxes();
    void hiddenLogCatchesUpWhenShown();

private:
    QTemporaryDir m_dir;
};

void tst_StationView::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
}

void tst_StationView::cameraOnTileAndPage_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QString>("iniName");
    QTest::addColumn<bool>("attachFirst");
    QTest::addColumn<int>("camera");
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("page");

    const QByteArray ng = R"({"verdict":"NG","time":"2024-05-01T10:00:00Z","reason":"划痕"})";
    const QByteArray ok = R"({"verdict":"OK"})";
    QTest::newRow("untouched") << Messages() << QString() << true << 1
                               << QStringLiteral("UNKNOW/unknown/Unknow")
                               << QStringLiteral("UNKNOW/unknown/Unkown");
    QTest::newRow("ngOnItsOwnChannel")
        << Messages{msg(QStringLiteral("camera/3/verdict"), ng)} << QString() << true << 3
        << QStringLiteral("NG/ng/Unknow") << QStringLiteral("NG/ng/Unkown");
    QTest::newRow("lastCamera") << Messages{msg(QStringLiteral("camera/16/verdict"), ok)}
                                << QString() << true << 16 << QStringLiteral("OK/ok/Unknow")
                                << QStringLiteral("OK/ok/Unkown");
    QTest::newRow("otherCameraUntouched")
        << Messages{msg(QStringLiteral("camera/3/verdict"), ng)} << QString() << true << 4
        << QStringLiteral("UNKNOW/unknown/Unknow") << QStringLiteral("UNKNOW/unknown/Unkown");
    QTest::newRow("backToUnknown")
        << Messages{msg(QStringLiteral("camera/2/verdict"), ng),
                    msg(QStringLiteral("camera/2/verdict"), R"({"verdict":"UNKNOWN"})")}
        << QString() << true << 2 << QStringLiteral("UNKNOW/unknown/Unknow")
        << QStringLiteral("UNKNOW/unknown/Unkown");
    QTest::newRow("stationName") << Messages{msg(QStringLiteral("camera/5/name"), "顶面")}
                                 << QString() << true << 5 << QStringLiteral("UNKNOW/unknown/顶面")
                                 << QStringLiteral("UNKNOW/unknown/顶面");
    QTest::newRow("iniNameWins") << Messages{msg(QStringLiteral("camera/5/name"), "顶面")}
                                 << QStringLiteral("入口") << true << 5
                                 << QStringLiteral("UNKNOW/unknown/入口")
                                 << QStringLiteral("UNKNOW/unknown/入口");
    QTest::newRow("nameClearedGivesDefault")
        << Messages{msg(QStringLiteral("camera/6/name"), "A"),
                    msg(QStringLiteral("camera/6/name"), "")}
        << QString() << true << 6 << QStringLiteral("UNKNOW/unknown/Unknow")
        << QStringLiteral("UNKNOW/unknown/Unkown");
    QTest::newRow("pagesBuiltLater")
        << Messages{msg(QStringLiteral("camera/7/verdict"), ng),
                    msg(QStringLiteral("camera/7/name"), "侧面")}
        << QString() << false << 7 << QStringLiteral("NG/ng/侧面") << QStringLiteral("NG/ng/侧面");
}

void tst_StationView::cameraOnTileAndPage()
{
    QFETCH(Messages, messages);
    QFETCH(QString, iniName);
    QFETCH(bool, attachFirst);
    QFETCH(int, camera);
    QFETCH(QString, tile);
    QFETCH(QString, page);

    const QString key = QStringLiteral("Channel%1/Name").arg(camera, 2, 10, QLatin1Char('0'));
    SetupConfig::instance()->setValue(key, iniName.isEmpty() ? QVariant() : QVariant(iniName));
    Console console;
    QSignalSpy announced(&console.model, &StationModel::camerasChanged);
    if (attachFirst)
        console.attachAll();
    console.feed(messages);
    if (!attachFirst)
        console.attachAll();
    if (!messages.isEmpty())
        QTRY_COMPARE(announced.count(), 1);
    CameraDisplay *shownTile = console.wall.tileOfChannel(camera);
    QCOMPARE(shown(shownTile), tile);
    QCOMPARE(shown(console.pages.at(camera - 1)), page);
    const StationModel::Camera state = console.model.camera(camera);
    if (state.time.isValid())
        QVERIFY(stateLabelOf(shownTile)->toolTip().contains(state.reason));
    SetupConfig::instance()->setValue(key, QVariant());
}

void tst_StationView::ratesFollowGaugeRange_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("instant");

    // The panels start at 88.
    QTest::newRow("inRange") << QByteArray(R"({"average":298.5,"instant":312})") << 298.5 << 312.0;
    QTest::newRow("ends") << QByteArray(R"({"average":1,"instant":2999})") << 1.0 << 2999.0;
    QTest::newRow("belowRangeIgnored")
        << QByteArray(R"({"average":0,"instant":-5})") << 88.0 << 88.0;
    QTest::newRow("aboveRangeIgnored")
        << QByteArray(R"({"average":3000,"instant":12})") << 88.0 << 12.0;
}

void tst_StationView::ratesFollowGaugeRange()
{
    QFETCH(QByteArray, payload);
    QFETCH(double, average);
    QFETCH(double, instant);

    Console console;
    console.attachAll();
    QSignalSpy announced(&console.model, &StationModel::ratesChanged);
    console.feed({msg(QStringLiteral("rate"), payload)});
    QTRY_COMPARE(announced.count(), 1);
    QCOMPARE(console.chart.averagePanel()->chart()->value(), average);
    QCOMPARE(console.chart.instantPanel()->chart()->value(), instant);
    // The sliders follow without driving the gauges back to a whole number.
    QCOMPARE(console.chart.averagePanel()->slider()->value(), qRound(average));
    QCOMPARE(console.chart.instantPanel()->slider()->value(), qRound(instant));
}

void tst_StationView::countsOnPie()
{
    Console console;
    console.feed({msg(QStringLiteral("counts"), R"({"good":120,"bad":3,"unknown":2})")});
    console.attachAll();
    QPieSeries *series = console.chart.pieChart()->series();
    QStringList slices;
    for (QPieSlice *slice : series->slices())
        slices << QStringLiteral("%1=%2").arg(slice->label()).arg(slice->value());
    QCOMPARE(slices, (QStringList{QStringLiteral("良品 120=120"), QStringLiteral("坏品 3=3"),
                                  QStringLiteral("未知 2=2"), QStringLiteral("总数 125=125")}));
}

void tst_StationView::logBoxes()
{
    Console console;
    CTextEdit *box = console.chart.logTextEdit();
    QVERIFY(box->toPlainText().startsWith(QStringLiteral("001 ")));
    console.feed({msg(QStringLiteral("log"), R"({"level":"warning","text":"<b>before</b>"})")});
    console.chart.show();
    console.attachAll();
    // The sample lines give way to the station's log, whose markup stays text.
    QCOMPARE(box->document()->blockCount(), 1);
    QVERIFY(box->toPlainText().endsWith(QStringLiteral("<b>before</b>")));

    for (int i = 1; i <= StationModel::MaxLogLines + 10; ++i)
        console.feed({msg(QStringLiteral("log"),
                          QStringLiteral(R"({"level":"info","text":"n%1"})").arg(i).toUtf8())});
    QTRY_VERIFY(
        box->toPlainText().endsWith(QStringLiteral(" n%1").arg(StationModel::MaxLogLines + 10)));
    QCOMPARE(box->document()->blockCount(), StationModel::MaxLogLines);
    QCOMPARE(box->toPlainText().split(QLatin1Char('\n')), console.model.logLines());
}

void tst_StationView::hiddenLogCatchesUpWhenShown()
{
    Console console;
    console.attachAll();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *box = new CTextEdit;
    layout->addWidget(box);
    console.view.attachLog(box);
    console.feed({msg(QStringLiteral("log"), R"({"level":"info","text":"while hidden"})")});
    QTRY_VERIFY(!console.model.logLines().isEmpty());
    QTest::qWait(3 * StationModel::RepaintIntervalMs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(box->toPlainText().split(QLatin1Char('\n')), console.model.logLines());
}

QTEST_MAIN(tst_StationView)
#include "tst_stationview.moc"
