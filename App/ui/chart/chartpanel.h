#pragma once

#include <QWidget>

class AverageChartPanel;
class CTextEdit;
class InstantChartPanel;
class PieChart;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QSplitter;
class QTabWidget;

// The chart page of the main window: the two gauges with their sliders, the pie chart and a
// placeholder in a 2 x 2 grid above, a log view and a note in tabs below.
class ChartPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int GridStretch = 3;
    static constexpr int TabStretch = 1;
    static constexpr int SizeUnit = 1000;

    explicit ChartPanel(QWidget *parent = nullptr);

    AverageChartPanel *averagePanel() const { return m_averagePanel; }
    InstantChartPanel *instantPanel() const { return m_instantPanel; }
    PieChart *pieChart() const { return m_pieChart; }
    QSplitter *splitter() const { return m_splitter; }
    CTextEdit *logTextEdit() const { return m_logTextEdit; }

protected:
    // Paints the style sheet's background for "ChartPanel".
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(ChartPanel)

    QHBoxLayout *m_mainLayout = nullptr;
    QSplitter *m_splitter = nullptr;
    QWidget *m_gridWidget = nullptr;
    QGridLayout *m_gridLayout = nullptr;
    AverageChartPanel *m_averagePanel = nullptr;
    InstantChartPanel *m_instantPanel = nullptr;
    PieChart *m_pieChart = nullptr;
    QLabel *m_placeholderLabel = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    CTextEdit *m_logTextEdit = nullptr;
    QLabel *m_noteLabel = nullptr;
};
