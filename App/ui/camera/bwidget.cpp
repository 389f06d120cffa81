#include "bwidget.h"

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRandomGenerator>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QPieSeries>
#include <QtCharts/QSplineSeries>
#include <QtCharts/QValueAxis>

QT_CHARTS_USE_NAMESPACE

namespace
{

constexpr int SpacerWidth = 40;
constexpr int SpacerHeight = 20;
constexpr qreal ExplodeDistance = 0.5;
constexpr qreal PieSize = 0.4;
const QColor LightWindow(0xF0, 0xF0, 0xF0);
const QColor DarkText(0x40, 0x40, 0x44);
const QColor LightText(0xD6, 0xD6, 0xD6);

// The window and window-text colours that go with a chart theme; the light pair for themes
// without a row of their own.
QPair<QColor, QColor> windowColors(int theme)
{
    switch (theme) {
    case QChart::ChartThemeBlueCerulean:
        return {QColor(0x40, 0x43, 0x4A), LightText};
    case QChart::ChartThemeDark:
        return {QColor(0x12, 0x12, 0x18), LightText};
    case QChart::ChartThemeBrownSand:
        return {QColor(0x9E, 0x89, 0x65), DarkText};
    case QChart::ChartThemeBlueNcs:
        return {QColor(0x01, 0x8B, 0xBA), DarkText};
    case QChart::ChartThemeHighContrast:
        return {QColor(0xFF, 0xAB, 0x03), QColor(0x18, 0x18, 0x18)};
    case QChart::ChartThemeBlueIcy:
        return {QColor(0xCE, 0xE7, 0xF0), DarkText};
    default:
        return {LightWindow, DarkText};
    }
}

} // namespace

BWidget::BWidget(QWidget *parent) : QWidget(parent)
{
    m_dataTable = generateRandomData(m_listCount, m_valueMax, m_valueCount);
    createUi();
    updateUI();
}

BWidget::DataTable BWidget::generateRandomData(int listCount, int valueMax, int valueCount) const
{
    // Each list rises from left to right in steps below valueMax / valueCount.
    const double step = double(valueMax) / valueCount;
    DataTable table;
    for (int i = 0; i < listCount; ++i) {
        DataList list;
        double y = 0;
        for (int j = 0; j < valueCount; ++j) {
            y += QRandomGenerator::global()->bounded(step);
            const double x = (j + QRandomGenerator::global()->bounded(1.0)) * step;
            list << Data(QPointF(x, y), tr("Slice %1:%2").arg(i).arg(j));
        }
        table << list;
    }
    return table;
}

void BWidget::createUi()
{
    m_mainLayout = new QVBoxLayout;
    setLayout(m_mainLayout);
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("BWidgetForm"));
    resize(DefaultWidth, DefaultHeight);

    m_controlLayout = new QHBoxLayout;
    m_controlLayout->setObjectName(QStringLiteral("horizontalLayout"));
    m_chartLayout = new QHBoxLayout;
    m_chartLayout->setObjectName(QStringLiteral("hboxLayout"));

    m_themeLabel = new QLabel;
    m_themeLabel->setObjectName(QStringLiteral("themeLabel"));
    m_themeComboBox = new QComboBox;
    m_themeComboBox->setObjectName(QStringLiteral("themeComboBox"));
    m_animatedLabel = new QLabel;
    m_animatedLabel->setObjectName(QStringLiteral("animatedLabel"));
    m_legendLabel = new QLabel;
    m_legendLabel->setObjectName(QStringLiteral("legendLabel"));
    m_legendComboBox = new QComboBox;
    m_legendComboBox->setObjectName(QStringLiteral("legendComboBox"));
    m_horizontalSpacer =
        new QSpacerItem(SpacerWidth, SpacerHeight, QSizePolicy::Expanding, QSizePolicy::Minimum);
    m_controlLayout->addWidget(m_themeLabel);
    m_controlLayout->addWidget(m_themeComboBox);
    m_controlLayout->addWidget(m_animatedLabel);
    m_controlLayout->addWidget(m_legendLabel);
    m_controlLayout->addWidget(m_legendComboBox);
    m_controlLayout->addItem(m_horizontalSpacer);

    connect(m_themeComboBox, SIGNAL(currentIndexChanged(int)), this, SLOT(updateUI()));
    connect(m_legendComboBox, SIGNAL(currentIndexChanged(int)), this, SLOT(updateUI()));
    populateThemeBox();
    populateLegendBox();

    m_pieChart = createPieChart();
    m_splineChart = createSplineChart();
    // The charts only show: Tab passes them by.
    auto *pieView = new QChartView(m_pieChart);
    pieView->setFocusPolicy(Qt::NoFocus);
    pieView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_chartLayout->addWidget(pieView, 1);
    m_charts << pieView;
    auto *splineView = new QChartView(m_splineChart);
    splineView->setFocusPolicy(Qt::NoFocus);
    m_chartLayout->addWidget(splineView, 1);
    m_charts << splineView;

    m_mainLayout->addLayout(m_controlLayout, 0);
    m_mainLayout->addLayout(m_chartLayout, 0);

    // Every page would install the same palette again, and each installation re-polishes the
    // whole application.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, LightWindow);
    palette.setColor(QPalette::WindowText, DarkText);
    if (palette != QApplication::palette())
        QApplication::setPalette(palette);

    m_themeComboBox->setCurrentIndex(InitialThemeIndex);
    m_legendComboBox->setCurrentIndex(InitialLegendIndex);
}

void BWidget::populateThemeBox()
{
    m_themeComboBox->addItem(tr("Light"), QChart::ChartThemeLight);
    m_themeComboBox->addItem(tr("Blue Cerulean"), QChart::ChartThemeBlueCerulean);
    m_themeComboBox->addItem(tr("Dark"), QChart::ChartThemeDark);
    m_themeComboBox->addItem(tr("Brown Sand"), QChart::ChartThemeBrownSand);
    m_themeComboBox->addItem(tr("Blue NCS"), QChart::ChartThemeBlueNcs);
    m_themeComboBox->addItem(tr("High Contrast"), QChart::ChartThemeHighContrast);
    m_themeComboBox->addItem(tr("Blue Icy"), QChart::ChartThemeBlueIcy);
    m_themeComboBox->addItem(tr("Qt"), QChart::ChartThemeQt);
}

void BWidget::populateLegendBox()
{
    m_legendComboBox->addItem(tr("No Legend "), 0);
    m_legendComboBox->addItem(tr("Legend Top"), int(Qt::AlignTop));
    m_legendComboBox->addItem(tr("Legend Bottom"), int(Qt::AlignBottom));
    m_legendComboBox->addItem(tr("Legend Left"), int(Qt::AlignLeft));
    m_legendComboBox->addItem(tr("Legend Right"), int(Qt::AlignRight));
}

QChart *BWidget::createPieChart() const
{
    auto *chart = new QChart;
    chart->setTitle(tr("Pie chart"));
    auto *series = new QPieSeries(chart);
    const DataList &list = m_dataTable.first();
    for (const Data &data : list) {
        QPieSlice *slice = series->append(data.second, data.first.y());
        if (data == list.first()) {
            slice->setLabelVisible();
            slice->setExploded();
            slice->setExplodeDistanceFactor(ExplodeDistance);
        }
    }
    series->setPieSize(PieSize);
    chart->addSeries(series);
    return chart;
}

QChart *BWidget::createSplineChart() const
{
    auto *chart = new QChart;
    chart->setTitle(tr("Spline chart"));
    for (int i = 0; i < m_dataTable.size(); ++i) {
        auto *series = new QSplineSeries(chart);
        for (const Data &data : m_dataTable.at(i))
            series->append(data.first);
        series->setName(tr("Series %1").arg(i));
        chart->addSeries(series);
    }
    chart->createDefaultAxes();
    // The values rise towards valueMax, so both axes run to it.
    chart->axes(Qt::Horizontal).first()->setRange(0, m_valueMax);
    QAbstractAxis *vertical = chart->axes(Qt::Vertical).first();
    vertical->setRange(0, m_valueMax);
    // Two blanks keep the labels off the axis line.
    if (auto *valueAxis = qobject_cast<QValueAxis *>(vertical))
        valueAxis->setLabelFormat(QStringLiteral("%.1f  "));
    return chart;
}

void BWidget::updateUI()
{
    const auto theme = static_cast<QChart::ChartTheme>(m_themeComboBox->currentData().toInt());
    if (!m_charts.isEmpty() && m_charts.first()->chart()->theme() != theme) {
        for (QChartView *view : qAsConst(m_charts))
            view->chart()->setTheme(theme);
        const QPair<QColor, QColor> colors = windowColors(theme);
        QPalette palette = window()->palette();
        palette.setColor(QPalette::Window, colors.first);
        palette.setColor(QPalette::WindowText, colors.second);
        window()->setPalette(palette);
    }

    const Qt::Alignment alignment(m_legendComboBox->currentData().toInt());
    for (QChartView *view : qAsConst(m_charts)) {
        view->setRenderHint(QPainter::Antialiasing, true);
        QLegend *legend = view->chart()->legend();
        if (!alignment) {
            legend->hide();
        } else {
            legend->setAlignment(alignment);
            legend->show();
        }
    }
}
