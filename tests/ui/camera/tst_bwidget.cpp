#include <QComboBox>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QSplineSeries>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include "ui/camera/bwidget.h"

QT_CHARTS_USE_NAMESPACE

namespace {

// Counts the application palette changes that reach any object.
class PaletteWatch : public QObject
{
public:
    int changes = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ApplicationPaletteChange)
            ++changes;
        return false;
    }
};

} // namespace

class tst_BWidget : public QObject
{
    Q_OBJECT

private slots:
    void afterConstruction();
    void selectors_data();
    void selectors();
    void splineChartHoldsItsData();
    void paletteInstalledOnce();
};

void tst_BWidget::afterConstruction()
{
    BWidget page;
    const QList<QChartView *> views = page.findChildren<QChartView *>();
    QCOMPARE(views.size(), 2);
    for (QChartView *view : views) {
        QCOMPARE(view->chart()->theme(), QChart::ChartThemeDark);
        QVERIFY(view->chart()->legend()->isVisible());
        QCOMPARE(view->chart()->legend()->alignment(), Qt::AlignLeft);
    }
    QCOMPARE(page.palette().color(QPalette::Window), QColor(0x12, 0x12, 0x18));
    QCOMPARE(page.palette().color(QPalette::WindowText), QColor(0xD6, 0xD6, 0xD6));
}

void tst_BWidget::selectors_data()
{
    QTest::addColumn<int>("themeIndex");
    QTest::addColumn<int>("chartTheme");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<int>("legendIndex");
    QTest::addColumn<int>("alignment"); // 0: legends hidden

    const QColor dark(0x40, 0x40, 0x44);
    const QColor light(0xD6, 0xD6, 0xD6);
    QTest::newRow("light/noLegend") << 0 << 0 << QColor("#F0F0F0") << dark << 0 << 0;
    QTest::newRow("blueCerulean/top") << 1 << 1 << QColor("#40434A") << light << 1 << int(Qt::AlignTop);
    QTest::newRow("dark/bottom") << 2 << 2 << QColor("#121218") << light << 2 << int(Qt::AlignBottom);
    QTest::newRow("brownSand/left") << 3 << 3 << QColor("#9E8965") << dark << 3 << int(Qt::AlignLeft);
    QTest::newRow("blueNcs/right") << 4 << 4 << QColor("#018BBA") << dark << 4 << int(Qt::AlignRight);
    QTest::newRow("highContrast/noLegend") << 5 << 5 << QColor("#FFAB03") << QColor("#181818") << 0 << 0;
    QTest::newRow("blueIcy/top") << 6 << 6 << QColor("#CEE7F0") << dark << 1 << int(Qt::AlignTop);
    QTest::newRow("qtUsesDefaultRow/bottom") << 7 << 7 << QColor("#F0F0F0") << dark << 2
                                             << int(Qt::AlignBottom);
}

void tst_BWidget::selectors()
{
    QFETCH(int, themeIndex);
    QFETCH(int, chartTheme);
    QFETCH(QColor, window);
    QFETCH(QColor, text);
    QFETCH(int, legendIndex);
    QFETCH(int, alignment);

    // Embedded, the page recolours the window it sits in.
    QWidget host;
    auto *page = new BWidget(&host);
    page->findChild<QComboBox *>(QStringLiteral("themeComboBox"))->setCurrentIndex(themeIndex);
    page->findChild<QComboBox *>(QStringLiteral("legendComboBox"))->setCurrentIndex(legendIndex);

    for (QChartView *view : page->findChildren<QChartView *>()) {
        QCOMPARE(int(view->chart()->theme()), chartTheme);
        QVERIFY(view->renderHints() & QPainter::Antialiasing);
        QCOMPARE(view->chart()->legend()->isVisible(), alignment != 0);
        if (alignment)
            QCOMPARE(int(view->chart()->legend()->alignment()), alignment);
    }
    QCOMPARE(host.palette().color(QPalette::Window), window);
    QCOMPARE(host.palette().color(QPalette::WindowText), text);
}

// The values rise towards the maximum value (10) and lie across the whole horizontal range.
void tst_BWidget::splineChartHoldsItsData()
{
    BWidget page;
    QChart *chart = page.findChildren<QChartView *>().at(1)->chart();
    auto *vertical = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).value(0));
    auto *horizontal = qobject_cast<QValueAxis *>(chart->axes(Qt::Horizontal).value(0));
    QVERIFY(vertical && horizontal);
    QVERIFY(vertical->max() >= 10);
    QCOMPARE(chart->series().size(), 3);
    for (QAbstractSeries *series : chart->series()) {
        const QVector<QPointF> points = static_cast<QSplineSeries *>(series)->pointsVector();
        QCOMPARE(points.size(), 7);
        for (const QPointF &point : points)
            QVERIFY(point.x() >= horizontal->min() && point.x() < horizontal->max());
        // The last point lies at least 6 steps of 10 / 7 out, beyond 7.
        QVERIFY2(points.last().x() >= 6 * 10.0 / 7, qPrintable(QString::number(points.last().x())));
    }
}

// Each installation of the application palette re-polishes every widget of the application.
void tst_BWidget::paletteInstalledOnce()
{
    BWidget first;
    PaletteWatch watch;
    qApp->installEventFilter(&watch);
    BWidget second;
    qApp->removeEventFilter(&watch);
    QCOMPARE(watch.changes, 0);
}

QTEST_MAIN(tst_BWidget)
#include "tst_bwidget.moc"
