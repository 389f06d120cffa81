#pragma once

#include "fancywindow.h"

class CTextEdit;
class QVBoxLayout;

// The log window: a frameless window holding one text box with the sample log lines.
class LogWidget : public FancyWindow
{
    Q_OBJECT

public:
    explicit LogWidget(QWidget *parent = nullptr);

private:
    Q_DISABLE_COPY(LogWidget)

    QWidget *m_centralWidget = nullptr;
    QVBoxLayout *m_mainLayout = nullptr;
    CTextEdit *m_logTextEdit = nullptr;
};
