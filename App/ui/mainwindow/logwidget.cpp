#include "logwidget.h"

#include <QVBoxLayout>

#include "ui/common/ctextedit.h"
#include "ui/common/samplelog.h"

LogWidget::LogWidget(QWidget *parent) : FancyWindow(parent)
{
    m_centralWidget = new QWidget;
    m_mainLayout = new QVBoxLayout;
    m_logTextEdit = new CTextEdit;
    m_logTextEdit->setObjectName(QStringLiteral("LogWidgetLogTextEdit"));
    m_logTextEdit->append(SampleLog::text());
    m_mainLayout->addWidget(m_logTextEdit, 0);
    m_centralWidget->setLayout(m_mainLayout);
    setCentralWidget(m_centralWidget);
    setObjectName(QStringLiteral("LogWidget"));
}
