#pragma once

#include <QList>
#include <QPair>
#include <QPointF>
#include <QString>
#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QSpacerItem;
class QVBoxLayout;

namespace QtCharts
{
class QChart;
class QChartView;
} // namespace QtCharts

// The chart theme page: a pie chart and a spline chart of random demonstration data side by
// side, under a row with a chart theme selector (which also recolours the window) and a legend
// selector.
class BWidget : public QWidget
{
    Q_OBJECT

public:
    using Data = QPair<QPointF, QString>;
    using DataList = QList<Data>;
    using DataTable = QList<DataList>;

    static constexpr int DefaultWidth = 900;
    static constexpr int DefaultHeight = 600;
    static constexpr int InitialThemeIndex = 2;  // "Dark"
    static constexpr int InitialLegendIndex = 3; // "Legend Left"

    explicit BWidget(QWidget *parent = nullptr);

private slots:
    void updateUI();

private:
    Q_DISABLE_COPY(BWidget)

    DataTable generateRandomData(int listCount, int valueMax, int valueCount) const;
    void createUi();
    void populateThemeBox();
    void populateLegendBox();
    QtCharts::QChart *createPieChart() const;
    QtCharts::QChart *createSplineChart() const;

    int m_listCount = 3;
    int m_valueMax = 10;
    int m_valueCount = 7;
    QList<QtCharts::QChartView *> m_charts;
    DataTable m_dataTable;
    QVBoxLayout *m_mainLayout = nullptr;
    QHBoxLayout *m_chartLayout = nullptr;
    QtCharts::QChart *m_pieChart = nullptr;
    QtCharts::QChart *m_splineChart = nullptr;
    QHBoxLayout *m_controlLayout = nullptr;
    QLabel *m_themeLabel = nullptr;
    QComboBox *m_themeComboBox = nullptr;
    QLabel *m_animatedLabel = nullptr;
    QLabel *m_legendLabel = nullptr;
    QComboBox *m_legendComboBox = nullptr;
    QSpacerItem *m_horizontalSpacer = nullptr;
};
