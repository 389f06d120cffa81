#include "ui/common/popupmenu.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

QPushButton *menuButton(const QString &text)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QStringLiteral("PopupMenuButton"));
    return button;
}

} // namespace

PopupMenu::PopupMenu(QWidget *parent) : CFramelessWindow(parent)
{
    m_centralWidget = new QWidget;
    m_centralWidget->setObjectName(QStringLiteral("PopupMenuCentralWidget"));
    m_outerLayout = new QHBoxLayout(m_centralWidget);

    m_groupBox = new QGroupBox(tr("功能开关"));
    m_groupBox->setObjectName(QStringLiteral("PopupMenuGroupBox"));
    m_outerLayout->addWidget(m_groupBox);

    m_function1Button = menuButton(tr("功能1"));
    m_function2Button = menuButton(tr("功能2"));
    m_function3Button = menuButton(tr("功能3"));
    m_returnButton = menuButton(tr("返回"));
    m_separatorLine = new QFrame;
    m_separatorLine->setFrameShape(QFrame::HLine);

    m_buttonLayout = new QVBoxLayout;
    m_buttonLayout->addWidget(m_function1Button);
    m_buttonLayout->addWidget(m_function2Button);
    m_buttonLayout->addWidget(m_function3Button);
    m_buttonLayout->addWidget(m_separatorLine);
    m_buttonLayout->addWidget(m_returnButton);
    m_groupBox->setLayout(m_buttonLayout);

    setCentralWidget(m_centralWidget);

    connect(m_function1Button, &QPushButton::clicked, this, &PopupMenu::clicked1);
    connect(m_function2Button, &QPushButton::clicked, this, &PopupMenu::clicked2);
    connect(m_returnButton, &QPushButton::clicked, this, &PopupMenu::clickedReturn);
    setObjectName(QStringLiteral("PopuMenu"));
}
