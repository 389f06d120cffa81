#pragma once

#include "fancywindow.h"

class QHBoxLayout;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

// A frameless window with a demonstration table and two buttons; "关闭" hides it.
class TableWidget : public FancyWindow
{
    Q_OBJECT

public:
    static constexpr int RowCount = 50;
    static constexpr int ColumnCount = 10;

    explicit TableWidget(QWidget *parent = nullptr);

private:
    Q_DISABLE_COPY(TableWidget)

    QWidget *m_mainWidget = nullptr;
    QVBoxLayout *m_mainLayout = nullptr;
    QTableWidget *m_tableWidget = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};
