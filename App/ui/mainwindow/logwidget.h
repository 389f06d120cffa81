#pragma once

#include "fancywindow.h"

class CTextEdit;
class QVBoxLayout;

// The log window: a frameless window holding one text box, with the sample log lines until
// the station's log replaces them.
class LogWidget : public FancyWindow
{
    Q_OBJECT

public:
    explicit LogWidget(QWidget *parent = nullptr);

    CTextEdit *logTextEdit() const { return m_logTextEdit; }

private:
    Q_DISABLE_COPY(LogWidget)

    QWidget *m_centralWidget = nullptr;
    QVBoxLayout *m_mainLayout = nullptr;
    CTextEdit *m_logTextEdit = nullptr;
};
