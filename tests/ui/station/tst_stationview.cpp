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

namespace
{

// What a header shows: state text, the property the theme colours by, and the title.
QString shown(QWidget *header)
{
    const auto *state = header->findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
    const auto *title = header->findChild<QLabel *>(QStringLiteral("CameraDisplayTitleLabel"));
    return state->text() + '/' + state->property("verdict").toString() + '/' + title->text();
}

// The console's pages, wired to a model as the main window wires them.
struct Console {
    Console() : model(QStringLiteral("station")), view(&model, nullptr)
    {
        for (int n = 1; n <= StationModel::CameraCount; ++n)
            pages.append(new CameraParam);
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
    // Hands the messages to the model and waits for its announcement.
    void feed(const QList<QPair<const char *, QByteArray>> &messages)
    {
        QSignalSpy announced(&model, &StationModel::logAppended);
        for (const auto &m : messages)
            model.handleMessage(QStringLiteral("station/") + QLatin1String(m.first), m.second);
        // A log line last, so that its announcement says that all came through.
        model.handleMessage(QStringLiteral("station/log"), R"({"level":"info","text":"end"})");
        QTRY_COMPARE(announced.count(), 1);
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
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        SetupConfig::instance()->setAppDir(m_dir.path());
    }
    void cameraOnTileAndPage_data();
    void cameraOnTileAndPage();
    void ratesFollowGaugeRange_data();
    void ratesFollowGaugeRange();
    void countsOnPie();
    void logBoxes();

private:
    QTemporaryDir m_dir;
};

void tst_StationView::cameraOnTileAndPage_data()
{
    QTest::addColumn<QByteArray>("verdict");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("iniName");
    QTest::addColumn<bool>("attachFirst");
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("page");
    const QByteArray ng = R"({"verdict":"NG","reason":"划痕"})";

    QTest::newRow("untouched") << QByteArray() << QByteArray() << "" << true
                               << "UNKNOW/unknown/Unknow"
                               << "UNKNOW/unknown/Unkown";
    QTest::newRow("ng") << ng << QByteArray() << "" << true << "NG/ng/Unknow"
                        << "NG/ng/Unkown";
    QTest::newRow("stationName") << QByteArray() << QByteArray("顶面") << "" << true
                                 << "UNKNOW/unknown/顶面"
                                 << "UNKNOW/unknown/顶面";
    QTest::newRow("iniNameWins") << QByteArray() << QByteArray("顶面") << "入口" << true
                                 << "UNKNOW/unknown/入口"
                                 << "UNKNOW/unknown/入口";
    QTest::newRow("pagesBuiltLater") << ng << QByteArray("侧面") << "" << false << "NG/ng/侧面"
                                     << "NG/ng/侧面";
}

// Camera 7's messages reach the tile of channel 7 and page 7, and no other.
void tst_StationView::cameraOnTileAndPage()
{
    QFETCH(QByteArray, verdict);
    QFETCH(QByteArray, name);
    QFETCH(QString, iniName);
    QFETCH(bool, attachFirst);
    QFETCH(QString, tile);
    QFETCH(QString, page);

    const QString key = QStringLiteral("Channel07/Name");
    SetupConfig::instance()->setValue(key, iniName.isEmpty() ? QVariant() : iniName);
    Console console;
    if (attachFirst)
        console.attachAll();
    QList<QPair<const char *, QByteArray>> messages;
    if (!verdict.isEmpty())
        messages.append({"camera/7/verdict", verdict});
    if (!name.isEmpty())
        messages.append({"camera/7/name", name});
    console.feed(messages);
    if (!attachFirst)
        console.attachAll();
    SetupConfig::instance()->setValue(key, QVariant());

    QCOMPARE(shown(console.wall.tileOfChannel(7)), tile);
    QCOMPARE(shown(console.pages.at(6)), page);
    QCOMPARE(shown(console.wall.tileOfChannel(6)), QStringLiteral("UNKNOW/unknown/Unknow"));
}

void tst_StationView::ratesFollowGaugeRange_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("instant");
    // The panels start at 88.
    QTest::newRow("inRange") << QByteArray(R"({"average":298.5,"instant":312})") << 298.5 << 312.0;
    QTest::newRow("outsideIgnored")
        << QByteArray(R"({"average":0,"instant":3000})") << 88.0 << 88.0;
}

void tst_StationView::ratesFollowGaugeRange()
{
    QFETCH(QByteArray, payload);
    QFETCH(double, average);
    QFETCH(double, instant);
    Console console;
    console.attachAll();
    console.feed({{"rate", payload}});
    QCOMPARE(console.chart.averagePanel()->chart()->value(), average);
    QCOMPARE(console.chart.instantPanel()->chart()->value(), instant);
}

void tst_StationView::countsOnPie()
{
    Console console;
    console.feed({{"counts", R"({"good":120,"bad":3,"unknown":2})"}});
    console.attachAll();
    QStringList slices;
    for (QtCharts::QPieSlice *slice : console.chart.pieChart()->series()->slices())
        slices << slice->label() + '=' + QString::number(slice->value());
    QCOMPARE(slices, (QStringList{"良品 120=120", "坏品 3=3", "未知 2=2", "总数 125=125"}));
}

// The sample lines give way to the station's log, whose markup stays text; the boxes keep the
// newest lines; a box that was hidden is brought up to date when it is shown.
void tst_StationView::logBoxes()
{
    Console console;
    CTextEdit *shownBox = console.chart.logTextEdit();
    QVERIFY(shownBox->toPlainText().startsWith(QStringLiteral("001 ")));
    console.chart.show();
    console.feed({{"log", R"({"level":"warning","text":"<b>before</b>"})"}});
    console.attachAll();
    QCOMPARE(shownBox->document()->blockCount(), 2);
    QVERIFY(shownBox->toPlainText().contains(QStringLiteral("警告 <b>before</b>")));

    CTextEdit hiddenBox;
    console.view.attachLog(&hiddenBox);
    QList<QPair<const char *, QByteArray>> many;
    for (int i = 0; i < StationModel::MaxLogLines; ++i)
        many.append(QPair<const char *, QByteArray>("log", R"({"level":"info","text":"n"})"));
    console.feed(many);
    QCOMPARE(shownBox->document()->blockCount(), StationModel::MaxLogLines);
    QCOMPARE(shownBox->toPlainText().split('\n'), console.model.logLines());
    QVERIFY(hiddenBox.toPlainText().contains(QStringLiteral("before")));
    hiddenBox.show();
    QCOMPARE(hiddenBox.toPlainText().split('\n'), console.model.logLines());
}

QTEST_MAIN(tst_StationView)
#include "tst_stationview.moc"
