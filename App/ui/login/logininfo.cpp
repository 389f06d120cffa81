#include "ui/login/logininfo.h"

#include <QDateTime>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "common/config/setupconfig.h"

namespace
{

QLabel *infoLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QStringLiteral("LoginInfoInfLabel"));
    return label;
}

} // namespace

LoginInfo::LoginInfo(QWidget *parent) : CFramelessWindow(parent)
{
    m_headLayout = new QHBoxLayout;
    m_iconLabel = new QLabel;
    m_iconLabel->setFixedSize(IconSide, IconSide);
    m_iconLabel->setScaledContents(true);
    m_iconLabel->setPixmap(QPixmap(SetupConfig::instance()->avatarPath()));
    m_nameLabel = new QLabel(tr("示例用户名"));
    m_nameLabel->setObjectName(QStringLiteral("LoginInfoNameLabel"));
    m_headLayout->addWidget(m_iconLabel);
    m_headLayout->addItem(
        new QSpacerItem(HeadSpacerWidth, HeadSpacerHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    m_headLayout->addWidget(m_nameLabel);

    m_line = new QFrame;
    m_line->setFrameShape(QFrame::HLine);
    m_line->setObjectName(QStringLiteral("LoginInfoVLine"));

    m_infoLayout = new QGridLayout;
    m_roleCaptionLabel = infoLabel(tr("身份:"));
    m_roleLabel = infoLabel(tr("工程师"));
    m_timeCaptionLabel = infoLabel(tr("登录时间:"));
    m_timeLabel =
        infoLabel(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    m_mottoCaptionLabel = infoLabel(tr("座右铭:"));
    m_mottoLabel = infoLabel(tr("尘世间寻找心灵的安慰"));
    m_infoLayout->addWidget(m_roleCaptionLabel, 0, 0);
    m_infoLayout->addWidget(m_roleLabel, 0, 1);
    m_infoLayout->addWidget(m_timeCaptionLabel, 1, 0);
    m_infoLayout->addWidget(m_timeLabel, 1, 1);
    m_infoLayout->addWidget(m_mottoCaptionLabel, 2, 0);
    m_infoLayout->addWidget(m_mottoLabel, 2, 1);

    m_mainLayout = new QVBoxLayout;
    m_mainLayout->addLayout(m_headLayout, 1);
    m_mainLayout->addWidget(m_line, 0);
    m_mainLayout->addLayout(m_infoLayout, 3);

    m_cardWidget = new QWidget;
    m_cardWidget->setLayout(m_mainLayout);
    setCentralWidget(m_cardWidget);
    m_cardWidget->setObjectName(QStringLiteral("LoginInfoCentralWidget"));
}
