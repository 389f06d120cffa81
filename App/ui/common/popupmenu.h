#pragma once

#include "ui/common/framelesswindow/framelesswindow.h"

class QFrame;
class QGroupBox;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

// The small frameless window that the title bar's "系统" button drops below the user strip:
// a "功能开关" group with three function buttons and "返回". The main window moves, shows and
// hides it and keeps its opened flag.
class PopupMenu : public CFramelessWindow
{
    Q_OBJECT

public:
    explicit PopupMenu(QWidget *parent = nullptr);

    void setOpened(bool opened) { m_opened = opened; }
    bool isOpened() const { return m_opened; }

signals:
    void clicked1();
    void clicked2();
    void clickedReturn();

private:
    Q_DISABLE_COPY(PopupMenu)

    QWidget *m_centralWidget;
    QHBoxLayout *m_outerLayout;
    QGroupBox *m_groupBox;
    QVBoxLayout *m_buttonLayout;
    QPushButton *m_function1Button;
    QPushButton *m_function2Button;
    QPushButton *m_function3Button;
    QPushButton *m_returnButton;
    QFrame *m_separatorLine;
    bool m_opened = false;
};
