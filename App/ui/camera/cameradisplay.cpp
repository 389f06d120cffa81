#include "cameradisplay.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>

CameraDisplay::CameraDisplay(QWidget *parent) : QWidget(parent)
{
    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setContentsMargins(0, 0, 0, 0);

    m_topWidget = new QWidget;
    m_topWidget->setObjectName(QStringLiteral("CameraDisplayTopWidget"));
    m_topWidget->setFixedHeight(HeaderHeight);

    m_topLayout = new QHBoxLayout;
    m_topLayout->setContentsMargins(0, 0, 0, 0);
    m_topLayout->setSpacing(0);

    m_indexButton = new QToolButton;
    m_indexButton->setObjectName(QStringLiteral("CameraDisplayIndexButton"));
    m_indexButton->setFixedSize(IndexButtonWidth, HeaderHeight);

    m_titleLabel = new QLabel;
    m_titleLabel->setObjectName(QStringLiteral("CameraDisplayTitleLabel"));
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setFixedSize(TitleLabelWidth, HeaderHeight);

    m_stateLabel = new QLabel;
    m_stateLabel->setObjectName(QStringLiteral("CameraDisplayStateLabel"));
    m_stateLabel->setAlignment(Qt::AlignCenter);
    m_stateLabel->setFixedHeight(HeaderHeight);

    m_videoLabel = new QLabel;
    m_videoLabel->setAlignment(Qt::AlignCenter);

    m_topLayout->addWidget(m_indexButton, 0);
    m_topLayout->addWidget(m_stateLabel, 0);
    m_topLayout->addWidget(m_titleLabel, 0);
    m_topWidget->setLayout(m_topLayout);

    m_mainLayout->addWidget(m_topWidget, 0);
    m_mainLayout->addWidget(m_videoLabel, 0);
    setLayout(m_mainLayout);

    connect(m_indexButton, &QToolButton::clicked, this, &CameraDisplay::emitClickIndex);
}

QString CameraDisplay::index() const
{
    return m_indexButton->text();
}

void CameraDisplay::setIndex(const QString &index)
{
    if (m_indexButton->text() == index)
        return;
    m_indexButton->setText(index);
}

QString CameraDisplay::title() const
{
    return m_titleLabel->text();
}

void CameraDisplay::setTitle(const QString &title)
{
    if (m_titleLabel->text() == title)
        return;
    m_titleLabel->setText(title);
}

QString CameraDisplay::state() const
{
    return m_stateLabel->text();
}

QString CameraDisplay::stateText(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("NG");
    case 1:
        return QStringLiteral("OK");
    default:
        return QStringLiteral("UNKNOW");
    }
}

void CameraDisplay::setState(int state)
{
    const QString text = stateText(state);
    if (m_stateLabel->text() == text)
        return;
    m_stateLabel->setText(text);
}

QString CameraDisplay::videoText() const
{
    return m_videoLabel->text();
}

void CameraDisplay::setVideoText(const QString &text)
{
    if (m_videoLabel->text() == text)
        return;
    m_videoLabel->setText(text);
}

void CameraDisplay::emitClickIndex()
{
    emit clickIndex(m_indexButton->text(), m_titleLabel->text(), m_stateLabel->text());
}

void CameraDisplay::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    // A plain QWidget subclass draws no style sheet background unless it asks the style to.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
