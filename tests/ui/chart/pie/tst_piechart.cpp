// The pie chart as a user meets it: a click on a slice pulls it out, the next pushes it back.
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>
#include <QtMath>
#include <QtTest>

#include "ui/chart/pie/piechart.h"

namespace {

// A point well inside the slice, at half the pie's radius on the slice's middle angle, in the
// view's viewport coordinates.
QPoint insideSlice(QChartView *view, QPieSlice *slice)
{
    const QRectF plot = view->chart()->plotArea();
    const qreal radius = qMin(plot.width(), plot.height()) * slice->series()->pieSize() / 2;
    const qreal angle = qDegreesToRadians(slice->startAngle() + slice->angleSpan() / 2);
    const QPointF inChart(plot.center().x() + radius / 2 * std::sin(angle),
                          plot.center().y() - radius / 2 * std::cos(angle));
    return view->mapFromScene(view->chart()->mapToScene(inChart));
}

} // namespace

class tst_PieChart : public QObject
{
    Q_OBJECT

private slots:
    void clickTogglesExplode_data();
    void clickTogglesExplode();
};

void tst_PieChart::clickTogglesExplode_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QList<bool>>("exploded");

    QTest::newRow("none") << QList<int>{} << QList<bool>{false, false, false, false};
    QTest::newRow("once") << QList<int>{1} << QList<bool>{false, true, false, false};
    QTest::newRow("twiceSameSlice") << QList<int>{2, 2} << QList<bool>{false, false, false, false};
    QTest::newRow("severalSlices") << QList<int>{0, 3, 2}
                                   << QList<bool>{true, false, true, true};
    QTest::newRow("severalThenBack") << QList<int>{0, 3, 0} << QList<bool>{false, false, false, true};
}

void tst_PieChart::clickTogglesExplode()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QList<bool>, exploded);

    PieChart pie;
    auto *view = pie.findChild<QChartView *>();
    QVERIFY(view);
    // The pie grows in over a second after it is shown; the toggle does not depend on it.
    view->chart()->setAnimationOptions(QChart::NoAnimation);
    pie.resize(500, 400);
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
    const QList<QPieSlice *> slices = pie.series()->slices();
    QCOMPARE(slices.size(), exploded.size());
    // The slices share the circle in proportion to their values, in table order.
    qreal start = 0;
    for (QPieSlice *slice : slices) {
        QVERIFY(qAbs(slice->startAngle() - start) < 0.01);
        start += slice->angleSpan();
    }
    QVERIFY(qAbs(start - 360) < 0.01);

    for (int index : clicks)
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, insideSlice(view, slices.at(index)));
    for (int i = 0; i < slices.size(); ++i)
        QCOMPARE(slices.at(i)->isExploded(), exploded.at(i));
}

QTEST_MAIN(tst_PieChart)
#include "tst_piechart.moc"
