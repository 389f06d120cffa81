// The chart page as the operator meets it: each slider drives its gauge, a click on a slice
// pulls it out of the pie or pushes it back, the charts get three quarters of the height, and
// in every theme the pie shows the page's background.
#include <QtCharts>
#include <QtTest>
#include <QtWidgets>

#include "../../testsupport.h"
#include "common/config/setupconfig.h"
#include "ui/chart/average/averagechart.h"
#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/chartpanel.h"
#include "ui/chart/instant/instantchart.h"
#include "ui/chart/instant/instantchartpanel.h"
#include "ui/chart/pie/piechart.h"
#include "ui/theme/thememanager.h"

class tst_ChartPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sliderDrivesGauge();
    void clickTogglesSlice();
    void chartsTakeThreeQuarters();
    void secondPieLeavesNoChartBehind();
    void pieShowsPageBackground_data();
    void pieShowsPageBackground();

private:
    QTemporaryDir m_dir;
    ChartPanel *m_panel = nullptr;
};

void tst_ChartPanel::initTestCase()
{
    QVERIFY(TestSupport::copyTree(QStringLiteral(TEST_CONFIG_DIR "/style"),
                                  m_dir.path() + QStringLiteral("/config/style")));
    SetupConfig::instance()->setAppDir(m_dir.path());
    m_panel = new ChartPanel;
    // The pie grows in over a second after it is shown; nothing here depends on it.
    m_panel->findChild<QChartView *>()->chart()->setAnimationOptions(QChart::NoAnimation);
    m_panel->resize(1000, 800);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
    // The sliders hand their starting value to the gauges.
    QCOMPARE(m_panel->averagePanel()->chart()->value(), 88.0);
    QCOMPARE(m_panel->instantPanel()->chart()->value(), 88.0);
}

void tst_ChartPanel::cleanupTestCase()
{
    delete m_panel;
}

// A key on each slider moves its gauge with it (both start at the sliders' value, above).
void tst_ChartPanel::sliderDrivesGauge()
{
    QTest::keyClick(m_panel->averagePanel()->slider(), Qt::Key_End);
    QTest::keyClick(m_panel->instantPanel()->slider(), Qt::Key_Home);
    QCOMPARE(m_panel->averagePanel()->chart()->value(), double(AverageChartPanel::SliderMaximum));
    QCOMPARE(m_panel->instantPanel()->chart()->value(), double(InstantChartPanel::SliderMinimum));
}

// A slice clicked twice goes back in; another one stays out meanwhile.
void tst_ChartPanel::clickTogglesSlice()
{
    auto *view = m_panel->pieChart()->findChild<QChartView *>();
    const QList<QPieSlice *> slices = m_panel->pieChart()->series()->slices();
    for (int index : {0, 3, 0}) {
        // Half way out from the centre on the middle of the slice.
        QPieSlice *slice = slices.at(index);
        const QRectF plot = view->chart()->plotArea();
        const qreal radius = qMin(plot.width(), plot.height()) * slice->series()->pieSize() / 4;
        const qreal angle = qDegreesToRadians(slice->startAngle() + slice->angleSpan() / 2);
        const QPointF point = plot.center() + QPointF(radius * qSin(angle), -radius * qCos(angle));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->mapFromScene(view->chart()->mapToScene(point)));
    }
    for (int i = 0; i < slices.size(); ++i)
        QCOMPARE(slices.at(i)->isExploded(), i == 3);
}

// The splitter's stretch factors alone leave the charts more than three quarters.
void tst_ChartPanel::chartsTakeThreeQuarters()
{
    const QList<int> sizes = m_panel->splitter()->sizes();
    QVERIFY2(qAbs(sizes.at(0) - 3 * sizes.at(1)) <= 3 * m_panel->splitter()->handleWidth(),
             qPrintable(QStringLiteral("%1 : %2").arg(sizes.at(0)).arg(sizes.at(1))));
}

// A chart view built without a chart makes a default one that setChart releases and nobody
// deletes; the test build's leak check reports it once a process has shown a second pie.
void tst_ChartPanel::secondPieLeavesNoChartBehind()
{
    PieChart pie;
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
}

void tst_ChartPanel::pieShowsPageBackground_data()
{
    QTest::addColumn<QString>("theme");
    for (const QString &theme : ThemeManager::themeNames())
        QTest::newRow(qPrintable(theme)) << theme;
}

void tst_ChartPanel::pieShowsPageBackground()
{
    QFETCH(QString, theme);
    QVERIFY(ThemeManager::applyTheme(theme));
    // A corner of the pie and one of the label in the cell beside it both lie on the grid's
    // background, unless the pie's view paints one of its own.
    QWidget *beside = m_panel->pieChart()->parentWidget()->findChild<QLabel *>(
        QString(), Qt::FindDirectChildrenOnly);
    const QImage page = m_panel->grab().toImage();
    const QColor pie = page.pixelColor(m_panel->pieChart()->mapTo(m_panel, QPoint(4, 4)));
    const QColor cell = page.pixelColor(beside->mapTo(m_panel, QPoint(4, 4)));
    qApp->setStyleSheet(QString());
    QVERIFY2(TestSupport::near(pie, cell, 2),
             qPrintable(pie.name() + QLatin1Char(' ') + cell.name()));
}

QTEST_MAIN(tst_ChartPanel)
#include "tst_chartpanel.moc"
