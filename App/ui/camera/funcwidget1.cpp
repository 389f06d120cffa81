#include "funcwidget1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{

QLabel *makeLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QStringLiteral("FuncWidgetLabel"));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

FuncWidget1::FuncWidget1(QWidget *parent) : FancyWindow(parent)
{
    m_mainWidget = new QWidget;
    m_mainWidget->setObjectName(QStringLiteral("FuncWidgetCentralWidget"));
    m_mainLayout = new QVBoxLayout;

    m_tabWidget = new QTabWidget;
    m_labelA = makeLabel(tr("I am A"));
    m_labelB = makeLabel(tr("I am B"));
    m_labelC = makeLabel(tr("I am C"));
    m_labelD = makeLabel(tr("I am D"));
    m_tabWidget->addTab(m_labelA, QStringLiteral("A"));
    m_tabWidget->addTab(m_labelB, QStringLiteral("B"));
    m_tabWidget->addTab(m_labelC, QStringLiteral("C"));
    m_tabWidget->addTab(m_labelD, QStringLiteral("D"));

    m_okButton = new QPushButton(tr("确定"));
    m_cancelButton = new QPushButton(tr("取消"));
    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->addStretch(0);
    m_buttonLayout->addWidget(m_okButton);
    m_buttonLayout->addWidget(m_cancelButton);

    m_mainLayout->addWidget(m_tabWidget, 0);
    m_mainLayout->addLayout(m_buttonLayout, 0);
    m_mainWidget->setLayout(m_mainLayout);
    setWindowTitle(tr("功能1"));
    setCentralWidget(m_mainWidget);

    connect(m_okButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::hide);
}

QSize FuncWidget1::sizeHint() const
{
    QSize hint = FancyWindow::sizeHint();
    // The bar leaves the title out of its own hint.
    if (const auto *title =
            fancyBar()->findChild<QLabel *>(QStringLiteral("FancyTitleBarTitleLabel")))
        hint.setWidth(
            qMax(hint.width(), fancyBar()->sizeHint().width() + title->sizeHint().width()));
    return hint;
}
