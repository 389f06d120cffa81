#pragma once

#include <QWidget>
#include <QtCharts/QChartGlobal>

QT_CHARTS_BEGIN_NAMESPACE
class QPieSeries;
class QPieSlice;
QT_CHARTS_END_NAMESPACE

// The series' clicked signal is connected by its string signature, which names the slice type
// without its namespace; the slot must be declared the same way to match it.
QT_CHARTS_USE_NAMESPACE

// A four-slice statistics pie (good, bad, undetermined, total) drawn with Qt Charts, with
// demonstration values until counts are set. A click on a slice pulls it out of the pie or
// pushes it back.
class PieChart : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TitlePointSize = 16;

    explicit PieChart(QWidget *parent = nullptr);

    QPieSeries *series() const { return m_pieSeries; }

    // Replaces the demonstration values by the station's counts: good, bad and undetermined
    // parts, and their sum as the total; each label carries its number.
    void setCounts(qint64 good, qint64 bad, qint64 unknown);

private slots:
    void onPieSeriesClicked(QPieSlice *slice);

private:
    Q_DISABLE_COPY(PieChart)

    QPieSeries *m_pieSeries = nullptr;
};
