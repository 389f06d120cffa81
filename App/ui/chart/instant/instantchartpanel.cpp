#include "instantchartpanel.h"

#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "ui/chart/instant/instantchart.h"

InstantChartPanel::InstantChartPanel(QWidget *parent) : QWidget(parent)
{
    initUI();
}

void InstantChartPanel::initUI()
{
    m_layout = new QVBoxLayout;
    m_chart = new InstantChart;
    m_slider = new QSlider;
    m_slider->setRange(SliderMinimum, SliderMaximum);
    m_slider->setOrientation(Qt::Horizontal);
    m_layout->addWidget(m_chart);
    m_layout->addWidget(m_slider);
    setLayout(m_layout);
    connect(m_slider, SIGNAL(valueChanged(int)), m_chart, SLOT(setValue(int)));
    // After the connection, so that the gauge starts at the slider's value.
    m_slider->setValue(InitialValue);
}

void InstantChartPanel::showValue(double value)
{
    m_chart->setValue(value);
    if (m_chart->value() != value)
        return;
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(qRound(value));
}
