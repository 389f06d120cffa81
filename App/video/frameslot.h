#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>

#include "video/videoframe.h"
#include "video/videoproblem.h"

// The hand-over from one pipeline's streaming threads to the thread of its receiver (the GUI
// thread): the newest frame waits here under a mutex, and the receiver gets one queued call
// however many frames arrive before it takes one, so nothing queues up behind a busy GUI. The
// first failure is handed over once. After detach() nothing more reaches the receiver.
class FrameSlot
{
public:
    using FrameReady = std::function<void()>;
    using Failed = std::function<void(VideoProblem problem, const QString &detail)>;

    FrameSlot(QObject *receiver, FrameReady frameReady, Failed failed);

    // From a streaming thread. The frame gets the next serial.
    void offer(VideoFrame frame);
    void fail(VideoProblem problem, const QString &detail);

    // From the receiver's thread: the newest frame, leaving the slot empty.
    VideoFrame take();
    // From the receiver's thread, before the receiver goes or stops listening.
    void detach();

    // Frames offered so far.
    quint64 offered() const;

private:
    Q_DISABLE_COPY(FrameSlot)

    mutable QMutex m_mutex;
    QObject *m_receiver;
    FrameReady m_frameReady;
    Failed m_failed;
    VideoFrame m_latest;
    quint64 m_serial = 0;
    bool m_framePending = false;
    bool m_hasFailed = false;
};
