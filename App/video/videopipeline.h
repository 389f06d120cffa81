#pragma once

#include <QMutex>
#include <QSize>
#include <QString>

#include <memory>

#include "video/videosource.h"

class FrameSlot;
typedef struct _GstElement GstElement;

// One attempt at playing a source: a GStreamer pipeline that decodes it into 32-bit RGB frames,
// scaled down to the size shown, and offers each to a FrameSlot from its streaming thread. Errors
// and the end of a stream go to the slot as a failure; a file starts again from its beginning
// instead. The pipeline is built, started and torn down on GstRuntime's control threads; start()
// and stop() only ask for that and return at once.
class VideoPipeline : public std::enable_shared_from_this<VideoPipeline>
{
public:
    // Jitter buffer of an RTSP stream: enough for a loaded network, short enough to steer by.
    static constexpr int RtspLatencyMs = 200;
    // An RTSP or HTTP server that does not answer a request within this time is given up.
    static constexpr int NetworkTimeoutMs = 5000;
    // The picture of a test: source.
    static constexpr int TestWidth = 640;
    static constexpr int TestHeight = 360;
    static constexpr int TestFramesPerSecond = 25;

    static std::shared_ptr<VideoPipeline> create(const VideoSource &source,
                                                 std::shared_ptr<FrameSlot> slot);
    ~VideoPipeline();

    void start();
    // Tears the pipeline down, also when start() has not been carried out yet.
    void stop();
    // The largest picture wanted, in pixels; an empty size: the source's own. Any thread; a
    // running pipeline changes its size at the next frame.
    void setSize(const QSize &size);

    // GStreamer pipelines made and not yet freed, in all instances: each holds sockets and
    // threads, so one that outlives its stop() is a leak.
    static int pipelinesAlive();

    // The monotonic clock of VideoFrame::decodedNs.
    static qint64 monotonicNs();

private:
    VideoPipeline(const VideoSource &source, std::shared_ptr<FrameSlot> slot);
    VideoPipeline(const VideoPipeline &) = delete;
    VideoPipeline &operator=(const VideoPipeline &) = delete;

    void open();
    void close();
    void rewind();
    // The elements up to the sink; false with the reason when one cannot be made.
    bool build(QString *missing);
    // Puts the size into the size filter's caps; m_sizeMutex held.
    void applySize();

    // GStreamer's callbacks, with GStreamer's types.
    struct Callbacks;
    friend struct Callbacks;

    const VideoSource m_source;
    const std::shared_ptr<FrameSlot> m_slot;
    QMutex m_mutex;
    GstElement *m_pipeline = nullptr;
    // Where the decoded video enters: the scaler.
    GstElement *m_entry = nullptr;
    bool m_stopped = false;
    // Apart from m_mutex, which is held through state changes: the GUI thread sets the size.
    QMutex m_sizeMutex;
    QSize m_size;
    GstElement *m_sizeFilter = nullptr;
};
