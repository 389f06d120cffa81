#include "cameradisplay.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/video/videoview.h"

namespace
{

const char *const UnknownTitle = QT_TRANSLATE_NOOP("CameraDisplay", "Unknow");
const char *const VerdictProperty = "verdict";

} // namespace

CameraDisplay::CameraDisplay(QWidget *parent) : QWidget(parent)
{
    m_mainLayout = new QVBoxLayout;
    m_mainLayout->setContentsMargins(0, 0, 0, 0);

    const Header header = createHeader();
    m_topWidget = header.topWidget;
    m_topLayout = header.topLayout;
    m_indexButton = header.indexButton;
    m_stateLabel = header.stateLabel;
    m_titleLabel = header.titleLabel;
    // On the wall the index only names the tile: Tab would stop on sixteen buttons that do
    // nothing. The camera page's header keeps its button, which switches pages.
    m_indexButton->setFocusPolicy(Qt::NoFocus);

    m_videoLabel = new QLabel;
    m_videoLabel->setAlignment(Qt::AlignCenter);

    m_mainLayout->addWidget(m_topWidget, 0);
    m_mainLayout->addWidget(m_videoLabel, 0);
    setLayout(m_mainLayout);

    connect(m_indexButton, &QToolButton::clicked, this, &CameraDisplay::emitClickIndex);
}

CameraDisplay::Header CameraDisplay::createHeader()
{
    Header header;
    header.topWidget = new QWidget;
    header.topWidget->setObjectName(QStringLiteral("CameraDisplayTopWidget"));
    header.topWidget->setFixedHeight(HeaderHeight);

    header.topLayout = new QHBoxLayout;
    header.topLayout->setContentsMargins(0, 0, 0, 0);
    header.topLayout->setSpacing(0);

    header.indexButton = new QToolButton;
    header.indexButton->setObjectName(QStringLiteral("CameraDisplayIndexButton"));
    header.indexButton->setFixedSize(IndexButtonWidth, HeaderHeight);

    header.titleLabel = new QLabel;
    header.titleLabel->setObjectName(QStringLiteral("CameraDisplayTitleLabel"));
    header.titleLabel->setAlignment(Qt::AlignCenter);
    header.titleLabel->setFixedSize(TitleLabelWidth, HeaderHeight);

    header.stateLabel = new QLabel;
    header.stateLabel->setObjectName(QStringLiteral("CameraDisplayStateLabel"));
    header.stateLabel->setAlignment(Qt::AlignCenter);
    header.stateLabel->setFixedHeight(HeaderHeight);

    header.topLayout->addWidget(header.indexButton, 0);
    header.topLayout->addWidget(header.stateLabel, 0);
    header.topLayout->addWidget(header.titleLabel, 0);
    header.topWidget->setLayout(header.topLayout);
    return header;
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
        return tr("NG");
    case 1:
        return tr("OK");
    default:
        return tr("UNKNOW");
    }
}

QString CameraDisplay::verdictOf(int state)
{
    switch (state) {
    case 0:
        return QStringLiteral("ng");
    case 1:
        return QStringLiteral("ok");
    default:
        return QStringLiteral("unknown");
    }
}

void CameraDisplay::showState(QLabel *stateLabel, int state)
{
    const QString verdict = verdictOf(state);
    stateLabel->setText(stateText(state));
    if (stateLabel->property(VerdictProperty).toString() == verdict)
        return;
    stateLabel->setProperty(VerdictProperty, verdict);
    // A style sheet looks at dynamic properties only when the widget is polished again.
    stateLabel->style()->unpolish(stateLabel);
    stateLabel->style()->polish(stateLabel);
    stateLabel->update();
}

void CameraDisplay::setState(int state)
{
    showState(m_stateLabel, state);
}

void CameraDisplay::setStateToolTip(const QString &text)
{
    m_stateLabel->setToolTip(text);
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

void CameraDisplay::bindChannel(int number, VideoChannel *channel)
{
    m_channelNumber = number;
    setIndex(QStringLiteral("C%1").arg(number, 2, 10, QLatin1Char('0')));
    setVideoText(tr("通道 %1").arg(number));
    const QString name = channel ? channel->name() : QString();
    setTitle(name.isEmpty() ? tr(UnknownTitle) : name);
    m_titleLabel->setToolTip(name);

    if (channel && !m_videoView) {
        m_videoView = new VideoView;
        m_videoView->setStream(m_videoStream);
        m_mainLayout->addWidget(m_videoView, 0);
    }
    // A tile that never showed a camera keeps its caption untouched.
    if (m_videoView) {
        m_videoView->setChannel(channel);
        m_videoView->setVisible(channel != nullptr);
        m_videoLabel->setVisible(channel == nullptr);
    }
}

VideoChannel *CameraDisplay::channel() const
{
    return m_videoView ? m_videoView->channel() : nullptr;
}

void CameraDisplay::setVideoStream(VideoChannel::Stream stream)
{
    m_videoStream = stream;
    if (m_videoView)
        m_videoView->setStream(stream);
}

QImage CameraDisplay::snapshot() const
{
    // The picture area: the channel's picture when the tile shows one, else the caption.
    QWidget *picture = channel() ? static_cast<QWidget *>(m_videoView) : m_videoLabel;
    return picture->grab().toImage();
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
