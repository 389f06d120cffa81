#pragma once

#include "fancywindow.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

// A frameless window with four demonstration tabs; both of its buttons hide it.
class FuncWidget1 : public FancyWindow
{
    Q_OBJECT

public:
    explicit FuncWidget1(QWidget *parent = nullptr);

    // The content's size, widened for the whole title: the bar gives the title only the room
    // the content leaves, too little for the English one.
    QSize sizeHint() const override;

private:
    Q_DISABLE_COPY(FuncWidget1)

    QWidget *m_mainWidget = nullptr;
    QVBoxLayout *m_mainLayout = nullptr;
    QTabWidget *m_tabWidget = nullptr;
    QLabel *m_labelA = nullptr;
    QLabel *m_labelB = nullptr;
    QLabel *m_labelC = nullptr;
    QLabel *m_labelD = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
