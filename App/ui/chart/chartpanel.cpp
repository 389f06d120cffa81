#include "chartpanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QStyleOption>
#include <QTabWidget>

#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/instant/instantchartpanel.h"
#include "ui/chart/pie/piechart.h"
#include "ui/common/ctextedit.h"
#include "ui/common/samplelog.h"

ChartPanel::ChartPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ChartPanel"));

    m_mainLayout = new QHBoxLayout;
    m_splitter = new QSplitter;
    m_splitter->setOrientation(Qt::Vertical);
    m_mainLayout->addWidget(m_splitter);

    m_gridWidget = new QWidget;
    m_gridLayout = new QGridLayout;
    m_gridWidget->setLayout(m_gridLayout);

    m_averagePanel = new AverageChartPanel(this);
    m_instantPanel = new InstantChartPanel(this);
    m_pieChart = new PieChart(this);
    m_placeholderLabel = new QLabel(this);
    m_placeholderLabel->setText(tr("I am Active"));
    m_placeholderLabel->setAlignment(Qt::AlignCenter);

    m_gridLayout->addWidget(m_averagePanel, 0, 0);
    m_gridLayout->addWidget(m_instantPanel, 0, 1);
    m_gridLayout->addWidget(m_pieChart, 1, 0);
    m_gridLayout->addWidget(m_placeholderLabel, 1, 1);
    for (int i = 0; i < 2; ++i) {
        m_gridLayout->setRowStretch(i, 1);
        m_gridLayout->setColumnStretch(i, 1);
    }

    m_tabWidget = new QTabWidget;
    m_tabWidget->setMovable(true);
    m_tabWidget->setTabPosition(QTabWidget::North);

    m_logTextEdit = new CTextEdit;
    m_logTextEdit->setObjectName(QStringLiteral("MainWindowLogTextEdit"));
    m_logTextEdit->append(SampleLog::text());

    m_noteLabel = new QLabel;
    m_noteLabel->setObjectName(QStringLiteral("ChartPanelLabel"));
    m_noteLabel->setText(tr("此处不好添加停靠功能，添加的话，会大改"));
    m_noteLabel->setAlignment(Qt::AlignCenter);

    m_tabWidget->addTab(m_logTextEdit, tr("日志"));
    m_tabWidget->addTab(m_noteLabel, tr("示例标签"));

    m_splitter->addWidget(m_gridWidget);
    m_splitter->addWidget(m_tabWidget);
    m_splitter->setStretchFactor(0, GridStretch);
    m_splitter->setStretchFactor(1, TabStretch);
    // The stretch factors share only the room beyond the panes' size hints; these weights give
    // the charts three quarters of the height from the first layout on.
    m_splitter->setSizes({GridStretch * SizeUnit, TabStretch * SizeUnit});

    setLayout(m_mainLayout);
}

void ChartPanel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
