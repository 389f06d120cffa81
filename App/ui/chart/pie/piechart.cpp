#include "piechart.h"

#include <QApplication>
#include <QColor>
#include <QStringList>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

namespace
{

// Translated where they are shown: the catalogue is installed before any chart is built.
QStringList sliceLabels()
{
    return {PieChart::tr("良品"), PieChart::tr("坏品"), PieChart::tr("未知"), PieChart::tr("总数")};
}

const QStringList &sliceColors()
{
    static const QStringList colors = {QStringLiteral("#6480D6"), QStringLiteral("#A1DC85"),
                                       QStringLiteral("#FFAD25"), QStringLiteral("#FF7777")};
    return colors;
}

} // namespace

PieChart::PieChart(QWidget *parent) : QWidget(parent)
{
    m_pieSeries = new QPieSeries(this);
    connect(m_pieSeries, SIGNAL(clicked(QPieSlice *)), this, SLOT(onPieSeriesClicked(QPieSlice *)));

    const QList<qreal> values = {3.1, 3.2, 3.3, 3.4};
    const QStringList labels = sliceLabels();
    const QStringList &colors = sliceColors();
    for (int i = 0; i < colors.size(); ++i) {
        auto *slice = new QPieSlice(this);
        slice->setLabelVisible(true);
        slice->setValue(values.at(i));
        slice->setLabel(labels.at(i));
        const QColor color(colors.at(i));
        slice->setColor(color);
        slice->setLabelColor(color);
        slice->setBorderColor(color);
        m_pieSeries->append(slice);
    }

    auto *chart = new QChart;
    chart->setBackgroundVisible(false);
    chart->setObjectName(QStringLiteral("PieChartChart"));
    chart->setTitle(tr("XXX统计饼图"));
    // Before the series is added, so that the theme leaves the slice colours alone.
    chart->setTheme(QChart::ChartThemeDark);

    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    titleFont.setPointSize(TitlePointSize);
    chart->setTitleFont(titleFont);

    chart->addSeries(m_pieSeries);
    chart->setAnimationOptions(QChart::SeriesAnimations);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setBackgroundVisible(false);

    // Given the chart at construction: a view built without one makes a default chart that
    // setChart releases without deleting.
    auto *chartView = new QChartView(chart, this);
    chartView->setObjectName(QStringLiteral("PieChartView"));
    chartView->setRenderHint(QPainter::Antialiasing);
    // Slices answer clicks only: Tab passes the chart by.
    chartView->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chartView);
    setLayout(layout);
}

void PieChart::onPieSeriesClicked(QPieSlice *slice)
{
    slice->setExploded(!slice->isExploded());
}

void PieChart::setCounts(qint64 good, qint64 bad, qint64 unknown)
{
    const QList<qint64> values = {good, bad, unknown, good + bad + unknown};
    const QList<QPieSlice *> slices = m_pieSeries->slices();
    for (int i = 0; i < slices.size() && i < values.size(); ++i) {
        slices.at(i)->setValue(qreal(values.at(i)));
        slices.at(i)->setLabel(QStringLiteral("%1 %2").arg(sliceLabels().at(i)).arg(values.at(i)));
    }
}
