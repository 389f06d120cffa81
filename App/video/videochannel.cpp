#include "videochannel.h"

#include <QDebug>

#include "common/credentials.h"
#include "video/frameslot.h"
#include "video/videopipeline.h"

namespace
{

// For the log; the screen has its own words.
QString logText(VideoProblem problem)
{
    switch (problem) {
    case VideoProblem::None:
        return QStringLiteral("no problem");
    case VideoProblem::UnknownScheme:
        return QStringLiteral("the source names no known kind (rtsp://, http://, https://, "
                              "file://, a path or test:<pattern>)");
    case VideoProblem::MalformedUrl:
        return QStringLiteral("the source is not a well-formed URL");
    case VideoProblem::UnknownPattern:
        return QStringLiteral("the test pattern is not one of %1")
            .arg(VideoSource::testPatterns().join(QStringLiteral(", ")));
    case VideoProblem::FileMissing:
        return QStringLiteral("the file does not exist");
    case VideoProblem::Unreachable:
        return QStringLiteral("the camera cannot be reached");
    case VideoProblem::NoAnswer:
        return QStringLiteral("the camera does not answer");
    case VideoProblem::NotFound:
        return QStringLiteral("the camera has no such stream");
    case VideoProblem::Unauthorized:
        return QStringLiteral("the camera refuses the user name or password");
    case VideoProblem::Undecodable:
        return QStringLiteral("the stream cannot be decoded");
    case VideoProblem::EndOfStream:
        return QStringLiteral("the stream ended");
    case VideoProblem::NoFrames:
        return QStringLiteral("no picture for %1 s").arg(VideoChannel::FrameTimeoutMs / 1000);
    case VideoProblem::StreamFailed:
        return QStringLiteral("the stream failed");
    }
    return QString();
}

} // namespace

VideoChannel::VideoChannel(const ChannelConfig::Channel &config, const QString &baseDir,
                           QObject *parent)
    : QObject(parent), m_number(config.number), m_name(config.name),
      m_main(VideoSource::parse(config.source, baseDir)),
      m_grid(config.gridSource.isEmpty() ? m_main : VideoSource::parse(config.gridSource, baseDir))
{
    m_clock.start();
    m_demandTimer.setSingleShot(true);
    m_demandTimer.setInterval(0);
    m_graceTimer.setSingleShot(true);
    m_graceTimer.setInterval(GraceMs);
    m_retryTimer.setSingleShot(true);
    m_watchdog.setSingleShot(true);
    connect(&m_graceTimer, &QTimer::timeout, this, [this] {
        if (demand() == Stream::None)
            stopAll();
    });
    connect(&m_demandTimer, &QTimer::timeout, this, &VideoChannel::applyDemand);
    connect(&m_retryTimer, &QTimer::timeout, this, &VideoChannel::retry);
    connect(&m_watchdog, &QTimer::timeout, this, &VideoChannel::checkFrames);

    const QString section = ChannelConfig::sectionOf(m_number);
    if (m_main.kind() == VideoSource::Kind::Invalid)
        qWarning().noquote() << QStringLiteral("VideoChannel: [%1] Source \"%2\": %3; the channel "
                                               "shows the error.")
                                    .arg(section, m_main.shown(), logText(m_main.problem()));
    if (!config.gridSource.isEmpty() && m_grid.kind() == VideoSource::Kind::Invalid)
        qWarning().noquote() << QStringLiteral("VideoChannel: [%1] GridSource \"%2\": %3; the "
                                               "channel shows the error on the wall.")
                                    .arg(section, m_grid.shown(), logText(m_grid.problem()));
}

VideoChannel::~VideoChannel()
{
    stopPipeline();
}

const VideoSource &VideoChannel::source() const
{
    return sourceOf(m_stream == Stream::None ? Stream::Main : m_stream);
}

const VideoSource &VideoChannel::sourceOf(Stream stream) const
{
    return stream == Stream::Grid ? m_grid : m_main;
}

qint64 VideoChannel::msSinceLastFrame() const
{
    return m_lastFrameMs < 0 ? -1 : m_clock.elapsed() - m_lastFrameMs;
}

qint64 VideoChannel::msUntilRetry() const
{
    return m_retryAtMs < 0 ? -1 : qMax<qint64>(0, m_retryAtMs - m_clock.elapsed());
}

void VideoChannel::setDemand(const QObject *viewer, Stream stream, const QSize &size)
{
    if (stream == Stream::None)
        m_viewers.remove(viewer);
    else
        m_viewers.insert(viewer, {stream, size});
    if (!m_demandTimer.isActive())
        m_demandTimer.start();
}

VideoChannel::Stream VideoChannel::demand() const
{
    Stream wanted = Stream::None;
    for (const Viewer &viewer : m_viewers)
        wanted = qMax(wanted, viewer.stream);
    return wanted;
}

QSize VideoChannel::demandedSize() const
{
    QSize size(0, 0);
    for (const Viewer &viewer : m_viewers) {
        if (!viewer.size.isValid() || viewer.size.isEmpty())
            return QSize();
        size = size.expandedTo(viewer.size);
    }
    return size;
}

void VideoChannel::applyDemand()
{
    const Stream wanted = demand();
    if (wanted == Stream::None) {
        if (m_stream != Stream::None && !m_graceTimer.isActive())
            m_graceTimer.start();
        return;
    }
    m_graceTimer.stop();
    if (m_pipeline)
        m_pipeline->setSize(demandedSize());
    if (m_stream == wanted)
        return;
    // A camera without a grid stream shows its main stream everywhere: nothing to switch.
    if (m_stream != Stream::None && sourceOf(m_stream) == sourceOf(wanted)) {
        m_stream = wanted;
        return;
    }
    startStream(wanted);
}

void VideoChannel::startStream(Stream stream)
{
    stopPipeline();
    m_retryTimer.stop();
    m_retryAtMs = -1;
    m_backoff.reset();
    m_stream = stream;
    const VideoSource &playing = sourceOf(stream);
    if (!playing.isPlayable()) {
        setState(State::Error, playing.problem());
        return;
    }
    openPipeline(State::Connecting);
}

void VideoChannel::openPipeline(State state)
{
    const quint64 session = ++m_session;
    m_slot = std::make_shared<FrameSlot>(
        this, [this, session] { takeFrame(session); },
        [this, session](VideoProblem problem, const QString &detail) {
            pipelineFailed(session, problem, detail);
        });
    m_pipeline = VideoPipeline::create(source(), m_slot);
    m_pipeline->setSize(demandedSize());
    m_pipeline->start();
    m_watchdog.start(ConnectTimeoutMs);
    setState(state);
}

void VideoChannel::stopPipeline()
{
    m_watchdog.stop();
    if (m_slot) {
        m_slot->detach();
        m_slot.reset();
    }
    if (m_pipeline) {
        m_pipeline->stop();
        m_pipeline.reset();
    }
}

void VideoChannel::stopAll()
{
    stopPipeline();
    m_retryTimer.stop();
    m_retryAtMs = -1;
    m_backoff.reset();
    m_stream = Stream::None;
    const bool hadFrame = !m_frame.isNull();
    m_frame = VideoFrame();
    m_lastFrameMs = -1;
    setState(State::Off);
    if (hadFrame)
        emit frameChanged();
}

void VideoChannel::takeFrame(quint64 session)
{
    if (session != m_session || !m_slot)
        return;
    VideoFrame frame = m_slot->take();
    if (frame.isNull())
        return;
    m_frame = std::move(frame);
    m_lastFrameMs = m_clock.elapsed();
    if (m_state != State::Playing) {
        if (m_backoff.attempts() > 0)
            qInfo().noquote() << QStringLiteral("VideoChannel: %1 plays again.").arg(describe());
        m_backoff.reset();
        m_watchdog.start(FrameTimeoutMs);
        setState(State::Playing);
    }
    emit frameChanged();
}

void VideoChannel::pipelineFailed(quint64 session, VideoProblem problem, const QString &detail)
{
    if (session == m_session && m_pipeline)
        fail(problem, detail);
}

void VideoChannel::checkFrames()
{
    if (m_state == State::Playing) {
        const qint64 silentMs = msSinceLastFrame();
        if (silentMs < FrameTimeoutMs) {
            m_watchdog.start(int(FrameTimeoutMs - silentMs));
            return;
        }
        fail(VideoProblem::NoFrames, QString());
        return;
    }
    if (m_state == State::Connecting || m_state == State::Reconnecting)
        fail(VideoProblem::NoAnswer,
             QStringLiteral("no picture within %1 s").arg(ConnectTimeoutMs / 1000));
}

void VideoChannel::fail(VideoProblem problem, const QString &detail)
{
    stopPipeline();
    const int delayMs = m_backoff.nextDelayMs();
    m_retryAtMs = m_clock.elapsed() + delayMs;
    m_retryTimer.start(delayMs);
    QString text = QStringLiteral("VideoChannel: %1: %2").arg(describe(), logText(problem));
    if (!detail.isEmpty())
        text += QStringLiteral(" [%1]").arg(Credentials::masked(detail).simplified());
    text += QStringLiteral("; trying again in %1 s.").arg((delayMs + 500) / 1000);
    m_failureLog.warning(text);
    setState(m_frame.isNull() ? State::Error : State::Lost, problem);
}

void VideoChannel::retry()
{
    m_retryAtMs = -1;
    openPipeline(m_frame.isNull() ? State::Connecting : State::Reconnecting);
}

void VideoChannel::setState(State state, VideoProblem problem)
{
    m_state = state;
    m_problem = problem;
    emit stateChanged();
}

QString VideoChannel::describe() const
{
    const QString section = ChannelConfig::sectionOf(m_number);
    const QString who =
        m_name.isEmpty() ? section : QStringLiteral("%1 \"%2\"").arg(section, m_name);
    return QStringLiteral("%1 (%2)").arg(who, source().shown());
}
