#include <QComboBox>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QSplineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include "ui/camera/bwidget.h"

QT_CHARTS_USE_NAMESPACE

class tst_BWidget : public QObject
{
    Q_OBJECT

private slots:
    void selectors_data();
    void selectors();
    void splineChartHoldsItsData();
};

void tst_BWidget::selectors_data()
{
    QTest::addColumn<int>("themeIndex"); // -1: as constructed
    QTest::addColumn<int>("legendIndex");
    QTest::addColumn<int>("chartTheme");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<int>("alignment"); // 0: legends hidden

    QTest::newRow("constructed") << -1 << -1 << 2 << QColor("#121218") << int(Qt::AlignLeft);
    QTest::newRow("light/noLegend") << 0 << 0 << 0 << QColor("#F0F0F0") << 0;
    QTest::newRow("blueCerulean/top") << 1 << 1 << 1 << QColor("#40434A") << int(Qt::AlignTop);
    QTest::newRow("dark/bottom") << 2 << 2 << 2 << QColor("#121218") << int(Qt::AlignBottom);
    QTest::newRow("brownSand/left") << 3 << 3 << 3 << QColor("#9E8965") << int(Qt::AlignLeft);
    QTest::newRow("blueNcs/right") << 4 << 4 << 4 << QColor("#018BBA") << int(Qt::AlignRight);
    QTest::newRow("qtTakesDefaultRow") << 7 << 2 << 7 << QColor("#F0F0F0") << int(Qt::AlignBottom);
}

void tst_BWidget::selectors()
{
    QFETCH(int, themeIndex);
    QFETCH(int, legendIndex);
    QFETCH(int, chartTheme);
    QFETCH(QColor, window);
    QFETCH(int, alignment);

    // Embedded, the page recolours the window it sits in.
    QWidget host;
    auto *page = new BWidget(&host);
    if (themeIndex >= 0) {
        page->findChild<QComboBox *>(QStringLiteral("themeComboBox"))->setCurrentIndex(themeIndex);
        page->findChild<QComboBox *>(QStringLiteral("legendComboBox"))
            ->setCurrentIndex(legendIndex);
    }
    const QList<QChartView *> views = page->findChildren<QChartView *>();
    QVERIFY(!views.isEmpty());
    for (QChartView *view : views) {
        QCOMPARE(int(view->chart()->theme()), chartTheme);
        QCOMPARE(view->chart()->legend()->isVisible(), alignment != 0);
        if (alignment)
            QCOMPARE(int(view->chart()->legend()->alignment()), alignment);
    }
    QCOMPARE(host.palette().color(QPalette::Window), window);
}

// The values rise towards the maximum value (10), and x steps by 10 / 7, not by 1.
void tst_BWidget::splineChartHoldsItsData()
{
    BWidget page;
    QChart *chart = page.findChildren<QChartView *>().at(1)->chart();
    auto *vertical = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).value(0));
    auto *horizontal = qobject_cast<QValueAxis *>(chart->axes(Qt::Horizontal).value(0));
    QVERIFY(vertical && horizontal);
    QVERIFY(vertical->max() >= 10);
    for (QAbstractSeries *series : chart->series()) {
        const QVector<QPointF> points = static_cast<QSplineSeries *>(series)->pointsVector();
        QCOMPARE(points.size(), 7);
        for (const QPointF &point : points)
            QVERIFY(point.x() >= horizontal->min() && point.x() < horizontal->max());
        QVERIFY2(points.last().x() >= 6 * 10.0 / 7, qPrintable(QString::number(points.last().x())));
    }
}

QTEST_MAIN(tst_BWidget)
#include "tst_bwidget.moc"
