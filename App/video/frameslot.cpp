#include "frameslot.h"

FrameSlot::FrameSlot(QObject *receiver, FrameReady frameReady, Failed failed)
    : m_receiver(receiver), m_frameReady(std::move(frameReady)), m_failed(std::move(failed))
{
}

void FrameSlot::offer(VideoFrame frame)
{
    QMutexLocker locker(&m_mutex);
    frame.serial = ++m_serial;
    m_latest = std::move(frame);
    if (m_framePending || !m_receiver)
        return;
    m_framePending = true;
    QMetaObject::invokeMethod(m_receiver, m_frameReady, Qt::QueuedConnection);
}

void FrameSlot::fail(VideoProblem problem, const QString &detail)
{
    QMutexLocker locker(&m_mutex);
    if (m_hasFailed || !m_receiver)
        return;
    m_hasFailed = true;
    Failed failed = m_failed;
    QMetaObject::invokeMethod(
        m_receiver, [failed, problem, detail] { failed(problem, detail); }, Qt::QueuedConnection);
}

VideoFrame FrameSlot::take()
{
    QMutexLocker locker(&m_mutex);
    m_framePending = false;
    VideoFrame frame = std::move(m_latest);
    m_latest = VideoFrame();
    return frame;
}

void FrameSlot::detach()
{
    QMutexLocker locker(&m_mutex);
    m_receiver = nullptr;
    // The buffer goes back to its pipeline now rather than with the slot.
    m_latest = VideoFrame();
}

quint64 FrameSlot::offered() const
{
    QMutexLocker locker(&m_mutex);
    return m_serial;
}
