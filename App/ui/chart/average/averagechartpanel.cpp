#include "averagechartpanel.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/chart/average/averagechart.h"

AverageChartPanel::AverageChartPanel(QWidget *parent) : QWidget(parent)
{
    initUI();
}

void AverageChartPanel::initUI()
{
    m_layout = new QVBoxLayout;
    m_chart = new AverageChart;
    m_slider = new QSlider;
    m_slider->setOrientation(Qt::Horizontal);
    m_slider->setRange(SliderMinimum, SliderMaximum);
    m_layout->addWidget(m_chart);
    m_layout->addWidget(m_slider);
    setLayout(m_layout);
    connect(m_slider, SIGNAL(valueChanged(int)), m_chart, SLOT(setValue(int)));
    // After the connection, so that the gauge starts at the slider's value.
    m_slider->setValue(InitialValue);
}

void AverageChartPanel::showValue(double value)
{
    m_chart->setValue(value);
    if (m_chart->value() != value)
        return;
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(qRound(value));
}
