#pragma once

#include <QWidget>

class AverageChart;
class QSlider;
class QVBoxLayout;

// The average gauge with a horizontal slider under it that drives its value.
class AverageChartPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int SliderMinimum = 1;
    static constexpr int SliderMaximum = 2999;
    static constexpr int InitialValue = 88;

    explicit AverageChartPanel(QWidget *parent = nullptr);

    // Shows a value from outside, such as a measured rate: the gauge takes it by its range rule
    // (a value outside the range is ignored), and the slider follows without driving it.
    void showValue(double value);

    AverageChart *chart() const { return m_chart; }
    QSlider *slider() const { return m_slider; }

private slots:
    void initUI();

private:
    Q_DISABLE_COPY(AverageChartPanel)

    QVBoxLayout *m_layout = nullptr;
    AverageChart *m_chart = nullptr;
    QSlider *m_slider = nullptr;
};
