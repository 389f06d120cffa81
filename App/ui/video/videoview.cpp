#include "videoview.h"

#include <QFontMetrics>
#include <QHideEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShowEvent>

#include "ui/video/repaintclock.h"

namespace
{

constexpr int MsPerSecond = 1000;
constexpr int SecondsPerMinute = 60;
constexpr int SecondsPerHour = 3600;
// The heading's pixel size follows the view's height within these bounds.
constexpr int HeadingDivisor = 14;
constexpr int SmallestHeading = 12;
constexpr int LargestHeading = 26;
// The other lines are this share of the heading.
constexpr double LineScale = 0.75;

int seconds(qint64 ms)
{
    return int((ms + MsPerSecond - 1) / MsPerSecond);
}

} // namespace

VideoView::VideoView(QWidget *parent) : QWidget(parent)
{
    // Until the theme's sheet says otherwise.
    m_plateColor = palette().color(QPalette::Window);
    m_textColor = palette().color(QPalette::WindowText);
    m_accentColor = palette().color(QPalette::Highlight);
    m_alertColor = QColor(Qt::red);
    m_tick.setInterval(TickMs);
    connect(&m_tick, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

VideoView::~VideoView()
{
    if (m_channel)
        m_channel->setDemand(this, VideoChannel::Stream::None);
}

VideoChannel *VideoView::channel() const
{
    return m_channel;
}

void VideoView::setChannel(VideoChannel *channel)
{
    if (m_channel == channel)
        return;
    if (m_channel) {
        m_channel->setDemand(this, VideoChannel::Stream::None);
        disconnect(m_channel, nullptr, this, nullptr);
    }
    m_channel = channel;
    m_demand = VideoChannel::Stream::None;
    m_paintedSerial = 0;
    if (m_channel) {
        connect(m_channel, &VideoChannel::stateChanged, this, &VideoView::channelStateChanged);
        connect(m_channel, &VideoChannel::frameChanged, this, &VideoView::channelFrameChanged);
    }
    updateDemand();
    updateTicking();
    update();
}

void VideoView::setStream(VideoChannel::Stream stream)
{
    if (m_stream == stream)
        return;
    m_stream = stream;
    updateDemand();
}

VideoChannel::Stream VideoView::demand() const
{
    return m_channel && m_onScreen ? m_stream : VideoChannel::Stream::None;
}

QSize VideoView::demandedSize() const
{
    return size() * devicePixelRatioF();
}

void VideoView::updateDemand()
{
    const VideoChannel::Stream wanted = demand();
    const QSize wantedSize = demandedSize();
    if (wanted == m_demand &&
        (wanted == VideoChannel::Stream::None || wantedSize == m_demandedSize))
        return;
    m_demand = wanted;
    m_demandedSize = wantedSize;
    if (m_channel)
        m_channel->setDemand(this, wanted, wantedSize);
}

void VideoView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateDemand();
}

void VideoView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_onScreen = true;
    updateDemand();
    updateTicking();
}

// Also on minimising, when the window system unmaps the window (a spontaneous event).
void VideoView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_onScreen = false;
    updateDemand();
    updateTicking();
}

void VideoView::channelStateChanged()
{
    updateTicking();
    update();
}

void VideoView::channelFrameChanged()
{
    // A picture of the same shape in the same place: only its rectangle is painted again.
    const QRect picture = pictureRect();
    const bool same =
        picture == m_paintedRect && m_channel->state() == VideoChannel::State::Playing;
    RepaintClock::instance()->request(this, same ? picture : rect());
}

void VideoView::updateTicking()
{
    const bool counting = m_onScreen && m_channel &&
                          m_channel->state() != VideoChannel::State::Playing &&
                          m_channel->state() != VideoChannel::State::Off;
    if (counting && !m_tick.isActive())
        m_tick.start();
    else if (!counting)
        m_tick.stop();
}

QRect VideoView::fitted(const QSize &picture, const QRect &area)
{
    if (picture.isEmpty() || area.isEmpty())
        return QRect();
    const QSize size = picture.scaled(area.size(), Qt::KeepAspectRatio);
    // An odd remainder goes to the right or bottom margin.
    return QRect(QPoint(area.x() + (area.width() - size.width()) / 2,
                        area.y() + (area.height() - size.height()) / 2),
                 size);
}

QRect VideoView::pictureRect() const
{
    if (!m_channel || m_channel->frame().isNull())
        return QRect();
    const VideoFrame &frame = m_channel->frame();
    return fitted(frame.image.size(), rect());
}

QString VideoView::problemText(VideoProblem problem)
{
    switch (problem) {
    case VideoProblem::None:
        return QString();
    case VideoProblem::UnknownScheme:
        return QStringLiteral("未知的视频来源类型");
    case VideoProblem::MalformedUrl:
        return QStringLiteral("视频地址格式错误");
    case VideoProblem::UnknownPattern:
        return QStringLiteral("未知的测试图案");
    case VideoProblem::FileMissing:
        return QStringLiteral("视频文件不存在");
    case VideoProblem::Unreachable:
        return QStringLiteral("无法连接相机");
    case VideoProblem::NoAnswer:
        return QStringLiteral("相机无应答");
    case VideoProblem::NotFound:
        return QStringLiteral("相机上没有此视频流");
    case VideoProblem::Unauthorized:
        return QStringLiteral("用户名或密码错误");
    case VideoProblem::Undecodable:
        return QStringLiteral("无法解码视频流");
    case VideoProblem::EndOfStream:
        return QStringLiteral("视频流已结束");
    case VideoProblem::NoFrames:
        return QStringLiteral("没有画面");
    case VideoProblem::StreamFailed:
        return QStringLiteral("视频流出错");
    }
    return QString();
}

QString VideoView::durationText(qint64 ms)
{
    const qint64 total = qMax<qint64>(0, ms) / MsPerSecond;
    if (total < SecondsPerMinute)
        return QStringLiteral("%1 秒").arg(total);
    if (total < SecondsPerHour)
        return QStringLiteral("%1 分 %2 秒")
            .arg(total / SecondsPerMinute)
            .arg(total % SecondsPerMinute);
    return QStringLiteral("%1 小时 %2 分")
        .arg(total / SecondsPerHour)
        .arg(total % SecondsPerHour / SecondsPerMinute);
}

QStringList VideoView::plateLines() const
{
    if (!m_channel)
        return {};
    const qint64 retryMs = m_channel->msUntilRetry();
    switch (m_channel->state()) {
    case VideoChannel::State::Off:
    case VideoChannel::State::Playing:
        return {};
    case VideoChannel::State::Connecting:
        return {QStringLiteral("正在连接…")};
    case VideoChannel::State::Lost:
    case VideoChannel::State::Reconnecting: {
        QStringList lines{
            QStringLiteral("信号丢失"),
            QStringLiteral("最后画面：%1前").arg(durationText(m_channel->msSinceLastFrame()))};
        if (m_channel->state() == VideoChannel::State::Reconnecting)
            lines << QStringLiteral("正在重新连接…");
        else if (retryMs >= 0)
            lines << QStringLiteral("%1 秒后重新连接").arg(seconds(retryMs));
        return lines;
    }
    case VideoChannel::State::Error: {
        QStringList lines{QStringLiteral("无法播放"), problemText(m_channel->problem()),
                          m_channel->source().shown()};
        if (retryMs >= 0)
            lines << QStringLiteral("%1 秒后重试").arg(seconds(retryMs));
        return lines;
    }
    }
    return {};
}

void VideoView::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    if (!m_channel)
        return;
    QPainter painter(this);
    const VideoFrame &frame = m_channel->frame();
    const bool live = m_channel->state() == VideoChannel::State::Playing;
    m_paintedRect = pictureRect();
    if (!frame.isNull()) {
        painter.drawImage(m_paintedRect, frame.image);
        if (!live)
            painter.fillRect(m_paintedRect, QColor(0, 0, 0, ShadeAlpha));
        if (frame.serial != m_paintedSerial) {
            m_paintedSerial = frame.serial;
            emit framePainted(frame.serial, frame.decodedNs);
        }
    }
    if (!live)
        paintPlate(painter, plateLines());
}

void VideoView::paintPlate(QPainter &painter, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QFont heading = font();
    heading.setPixelSize(qBound(SmallestHeading, height() / HeadingDivisor, LargestHeading));
    heading.setBold(true);
    QFont body = font();
    body.setPixelSize(qMax(SmallestHeading * 3 / 4, int(heading.pixelSize() * LineScale)));
    const QFontMetrics headingMetrics(heading);
    const QFontMetrics bodyMetrics(body);

    // Lines too wide for the view are cut short with an ellipsis.
    const int widest = qMax(0, width() - 4 * PlatePadding);
    QStringList shown;
    int textWidth = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QFontMetrics &metrics = i == 0 ? headingMetrics : bodyMetrics;
        shown << metrics.elidedText(lines.at(i), Qt::ElideMiddle, widest);
        textWidth = qMax(textWidth, metrics.horizontalAdvance(shown.last()));
    }
    const int textHeight = headingMetrics.height() + (lines.size() - 1) * bodyMetrics.height();
    QRect plate(0, 0, textWidth + 2 * PlatePadding, textHeight + 2 * PlatePadding);
    plate.moveCenter(rect().center());

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_plateColor);
    painter.drawRoundedRect(plate, PlateRadius, PlateRadius);

    const bool alarming = m_channel->state() != VideoChannel::State::Connecting;
    int y = plate.top() + PlatePadding;
    for (int i = 0; i < shown.size(); ++i) {
        const QFontMetrics &metrics = i == 0 ? headingMetrics : bodyMetrics;
        painter.setFont(i == 0 ? heading : body);
        painter.setPen(i > 0 ? m_textColor : alarming ? m_alertColor : m_accentColor);
        painter.drawText(QRect(plate.left(), y, plate.width(), metrics.height()), Qt::AlignCenter,
                         shown.at(i));
        y += metrics.height();
    }
}

void VideoView::setPlateColor(const QColor &color)
{
    if (m_plateColor == color)
        return;
    m_plateColor = color;
    update();
}

void VideoView::setTextColor(const QColor &color)
{
    if (m_textColor == color)
        return;
    m_textColor = color;
    update();
}

void VideoView::setAccentColor(const QColor &color)
{
    if (m_accentColor == color)
        return;
    m_accentColor = color;
    update();
}

void VideoView::setAlertColor(const QColor &color)
{
    if (m_alertColor == color)
        return;
    m_alertColor = color;
    update();
}
