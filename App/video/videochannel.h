#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>

#include "common/backoff.h"
#include "common/ratelimitedlog.h"
#include "video/channelconfig.h"
#include "video/videoframe.h"
#include "video/videoproblem.h"
#include "video/videosource.h"

class FrameSlot;
class VideoPipeline;

// One camera of the console and the state of its picture. It plays while some viewer wants it:
// the main stream when any viewer wants that, else the grid stream. When the last viewer lets go
// it keeps playing for a grace period, so that a quick change of layout does not reconnect, then
// stops. Decoding runs on GStreamer's threads; the GUI thread takes only the newest frame.
//
//   Off ──demand──> Connecting ──frame──> Playing
//   Connecting ──failure──> Error ──back-off──> Connecting
//   Playing ──error, end, or no frame for FrameTimeoutMs──> Lost ──back-off──> Reconnecting
//   Reconnecting ──frame──> Playing;  Reconnecting ──failure──> Lost
//
// A source that cannot be played as written is an Error without retries. Lost and Reconnecting
// keep the last picture.
class VideoChannel : public QObject
{
    Q_OBJECT

public:
    enum class State { Off, Connecting, Playing, Lost, Reconnecting, Error };
    Q_ENUM(State)
    enum class Stream { None, Grid, Main };
    Q_ENUM(Stream)

    static constexpr int GraceMs = 2000;
    static constexpr int FrameTimeoutMs = 5000;
    // A first frame may wait for a key frame and the server's set-up.
    static constexpr int ConnectTimeoutMs = 10000;

    // Relative file paths in the sources are taken from baseDir.
    VideoChannel(const ChannelConfig::Channel &config, const QString &baseDir,
                 QObject *parent = nullptr);
    ~VideoChannel() override;

    int number() const { return m_number; }
    QString name() const { return m_name; }
    State state() const { return m_state; }
    // Why the channel is in Error or Lost.
    VideoProblem problem() const { return m_problem; }
    // The stream being played or connected; None while Off.
    Stream stream() const { return m_stream; }
    // The source of that stream (of the main stream while Off).
    const VideoSource &source() const;
    // Whether a pipeline exists: decoding or about to.
    bool isRunning() const { return bool(m_pipeline); }

    // The newest frame taken; kept while Lost, Reconnecting and Connecting after a switch.
    const VideoFrame &frame() const { return m_frame; }
    // Since the last frame, or -1 before the first.
    qint64 msSinceLastFrame() const;
    // Until the next attempt, or -1 when none is waiting.
    qint64 msUntilRetry() const;

    // What the viewer wants (None: nothing) and the size it shows the picture at, in pixels. The
    // channel plays the most any viewer wants, scaled down to fit the largest size asked for.
    void setDemand(const QObject *viewer, Stream stream, const QSize &size = QSize());
    Stream demand() const;
    // The smallest size that holds every viewer's; empty when one wants the source's own.
    QSize demandedSize() const;

signals:
    void stateChanged();
    void frameChanged();

private:
    Q_DISABLE_COPY(VideoChannel)

    void applyDemand();
    void startStream(Stream stream);
    void openPipeline(State state);
    void stopPipeline();
    void stopAll();
    void takeFrame(quint64 session);
    void pipelineFailed(quint64 session, VideoProblem problem, const QString &detail);
    void fail(VideoProblem problem, const QString &detail);
    void retry();
    void checkFrames();
    void setState(State state, VideoProblem problem = VideoProblem::None);
    const VideoSource &sourceOf(Stream stream) const;
    QString describe() const;

    const int m_number;
    const QString m_name;
    const VideoSource m_main;
    const VideoSource m_grid;
    State m_state = State::Off;
    VideoProblem m_problem = VideoProblem::None;
    Stream m_stream = Stream::None;
    struct Viewer {
        Stream stream;
        QSize size;
    };
    QHash<const QObject *, Viewer> m_viewers;

    std::shared_ptr<FrameSlot> m_slot;
    std::shared_ptr<VideoPipeline> m_pipeline;
    quint64 m_session = 0;
    VideoFrame m_frame;

    QElapsedTimer m_clock;
    qint64 m_lastFrameMs = -1;
    qint64 m_retryAtMs = -1;
    // Demands are weighed once the changes of one turn of the event loop are in: a layout
    // change hides and shows tiles one by one.
    QTimer m_demandTimer;
    QTimer m_graceTimer;
    QTimer m_retryTimer;
    QTimer m_watchdog;
    Backoff m_backoff;
    RateLimitedLog m_failureLog;
};
