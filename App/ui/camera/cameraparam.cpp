#include "cameraparam.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/camera/awidget.h"
#include "ui/camera/bwidget.h"
#include "ui/camera/cameradisplay.h"
#include "ui/common/ctextedit.h"
#include "ui/common/samplelog.h"
#include "ui/video/videoview.h"
#include "ui/widgets/cstackedwidget.h"
#include "video/videochannel.h"

namespace
{

constexpr int ParamPage = 0;
constexpr int ChartPage = 1;

} // namespace

CameraParam::CameraParam(QWidget *parent) : QWidget(parent)
{
    initUI();
    initConnections();
}

void CameraParam::setIndex(const QString &index)
{
    m_indexButton->setText(index);
}

void CameraParam::setTitle(const QString &title)
{
    m_titleLabel->setText(title);
}

void CameraParam::setState(const QString &state)
{
    m_stateLabel->setText(state);
}

void CameraParam::bindChannel(int number, VideoChannel *channel)
{
    m_channelNumber = number;
    if (!channel) {
        if (m_videoView)
            m_videoView->setChannel(nullptr);
        return;
    }
    if (!channel->name().isEmpty())
        setTitle(channel->name());
    if (!m_videoView) {
        m_videoView = new VideoView;
        m_paramWidget->setPicture(m_videoView);
    }
    m_videoView->setChannel(channel);
    updateVideoStream();
}

void CameraParam::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    updateVideoStream();
}

void CameraParam::updateVideoStream()
{
    if (!m_videoView)
        return;
    // The stack keeps a page it slid away from shown beside itself: only the current one counts.
    const bool wanted = m_active && m_stackedWidget->currentIndex() == ParamPage;
    m_videoView->setStream(wanted ? VideoChannel::Stream::Main : VideoChannel::Stream::None);
}

void CameraParam::setState(int state)
{
    CameraDisplay::showState(m_stateLabel, state);
}

// On the header bar: the state text lets the mouse through to it.
void CameraParam::setStateToolTip(const QString &text)
{
    m_topWidget->setToolTip(text);
}

void CameraParam::initUI()
{
    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setContentsMargins(0, 0, 0, 0);

    const CameraDisplay::Header header = CameraDisplay::createHeader();
    m_topWidget = header.topWidget;
    m_topLayout = header.topLayout;
    m_indexButton = header.indexButton;
    m_titleLabel = header.titleLabel;
    m_stateLabel = header.stateLabel;
    // Clicks on the state text belong to the header bar behind it.
    m_stateLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_extendButton = new QToolButton;
    m_extendButton->setObjectName(QStringLiteral("CameraParamExtendButton"));
    m_extendButton->setText(QStringLiteral("参数"));
    m_extendButton->setFixedSize(CameraDisplay::IndexButtonWidth, CameraDisplay::HeaderHeight);
    m_topLayout->addWidget(m_extendButton, 0);

    m_splitter = new QSplitter;
    m_splitter->setOrientation(Qt::Vertical);
    m_stackedWidget = new CStackedWidget;
    m_paramWidget = new AWidget;
    m_stackedWidget->addWidget(m_paramWidget);

    m_logTextEdit = new CTextEdit;
    m_logTextEdit->setObjectName(QStringLiteral("MainWindowLogTextEdit"));
    m_logTextEdit->append(SampleLog::text());

    m_splitter->addWidget(m_stackedWidget);
    m_splitter->addWidget(m_logTextEdit);
    m_splitter->setStretchFactor(0, StackStretch);
    m_splitter->setStretchFactor(1, LogStretch);

    m_mainLayout->addWidget(m_topWidget, 0);
    m_mainLayout->addWidget(m_splitter, 0);
    setLayout(m_mainLayout);
}

void CameraParam::initConnections()
{
    connect(m_indexButton, &QToolButton::clicked, this, &CameraParam::switchPage);
    connect(m_extendButton, &QToolButton::clicked, m_paramWidget, &AWidget::toggleParam);
    connect(m_stackedWidget, &CStackedWidget::currentChanged, this,
            &CameraParam::updateVideoStream);
}

void CameraParam::switchPage()
{
    if (m_stackedWidget->currentIndex() != ParamPage) {
        m_stackedWidget->setCurrentIndex(ParamPage);
        return;
    }
    // The chart page is built when it is first asked for: its two chart views, sixteen times
    // over, would otherwise make up most of the console's start-up.
    if (!m_chartWidget) {
        m_chartWidget = new BWidget;
        m_stackedWidget->addWidget(m_chartWidget);
    }
    m_stackedWidget->setCurrentIndex(ChartPage);
}
