#include "tablewidget.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

TableWidget::TableWidget(QWidget *parent) : FancyWindow(parent)
{
    m_mainWidget = new QWidget;
    m_mainLayout = new QVBoxLayout;

    m_tableWidget = new QTableWidget(RowCount, ColumnCount);
    m_tableWidget->setObjectName(QStringLiteral("TableWidget"));
    QStringList headers;
    for (int column = 0; column < ColumnCount; ++column)
        headers << tr("功能%1").arg(column + 1);
    m_tableWidget->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < RowCount; ++row) {
        for (int column = 0; column < ColumnCount; ++column)
            m_tableWidget->setItem(
                row, column, new QTableWidgetItem(QStringLiteral("%1, %2").arg(row).arg(column)));
    }

    m_saveButton = new QPushButton(tr("保存"));
    m_closeButton = new QPushButton(tr("关闭"));
    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->addStretch(0);
    m_buttonLayout->addWidget(m_saveButton, 0);
    m_buttonLayout->addWidget(m_closeButton, 0);

    m_mainLayout->addWidget(m_tableWidget, 0);
    m_mainLayout->addLayout(m_buttonLayout, 0);
    m_mainWidget->setLayout(m_mainLayout);
    setCentralWidget(m_mainWidget);
    setObjectName(QStringLiteral("TableWidget"));

    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::hide);
}
