#include "awidget.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace
{

constexpr int TextStretch = 2;
constexpr int ParamStretch = 1;

} // namespace

AWidget::AWidget(QWidget *parent) : QWidget(parent)
{
    m_mainLayout = new QHBoxLayout;

    m_textLabel = new QLabel(QStringLiteral("I am A"));
    m_textLabel->setAlignment(Qt::AlignCenter);

    m_line = new QFrame;
    m_line->setFrameShape(QFrame::VLine);

    m_paramArea = new QWidget;
    m_paramLayout = new QGridLayout;
    for (int i = 0; i < ParamCount; ++i) {
        m_paramLabels[i] = new QLabel(QStringLiteral("参数%1:").arg(i + 1));
        m_paramEdits[i] = new QLineEdit;
        const int row = i / ParamColumns;
        const int column = (i % ParamColumns) * 2;
        m_paramLayout->addWidget(m_paramLabels[i], row, column);
        m_paramLayout->addWidget(m_paramEdits[i], row, column + 1);
    }
    m_paramArea->setLayout(m_paramLayout);

    m_mainLayout->addWidget(m_textLabel, TextStretch);
    m_mainLayout->addWidget(m_line, 0);
    m_mainLayout->addWidget(m_paramArea, ParamStretch);
    setLayout(m_mainLayout);
}

void AWidget::toggleParam()
{
    const bool show = m_paramArea->isHidden();
    m_paramArea->setVisible(show);
    m_line->setVisible(show);
}

bool AWidget::isParamShown() const
{
    return !m_paramArea->isHidden();
}

void AWidget::setPicture(QWidget *picture)
{
    m_textLabel->hide();
    m_mainLayout->insertWidget(0, picture, TextStretch);
}
