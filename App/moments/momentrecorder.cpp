#include "momentrecorder.h"

#include "moment.h"
#include "momentstore.h"

MomentRecorder::MomentRecorder(MomentStore *store, QObject *parent)
    : QObject(parent), m_store(store)
{
}

void MomentRecorder::setFrameSource(const MomentFrameSource *source)
{
    m_source = source;
}

MomentRecorder::Capture MomentRecorder::captureFor(Verdict verdict, const MomentFrame &frame)
{
    if (verdict != Verdict::Ng)
        return Capture::Nothing;
    const bool fresh = !frame.image.isNull() && frame.ageMs >= 0 && frame.ageMs <= FreshFrameMs;
    return fresh ? Capture::WithPicture : Capture::WithoutPicture;
}

void MomentRecorder::takeVerdict(int camera, Verdict verdict, const QDateTime &time,
                                 const QString &reason)
{
    if (verdict != Verdict::Ng)
        return;
    if (camera < FirstCamera || camera > LastCamera) {
        m_badCameraLog.warning(
            QStringLiteral("Moments: an NG verdict for camera %1, which does not exist, was "
                           "not kept.")
                .arg(camera));
        return;
    }
    const qint64 timeMs =
        time.isValid() ? time.toMSecsSinceEpoch() : QDateTime::currentMSecsSinceEpoch();
    Previous &previous = m_previous[size_t(camera - FirstCamera)];
    if (previous.timeMs == timeMs && previous.reason == reason)
        return;
    previous = {timeMs, reason};
    MomentFrame frame = m_source ? m_source->newestFrame(camera) : MomentFrame();
    Moment moment;
    moment.timeMs = timeMs;
    moment.camera = camera;
    moment.reason = reason;
    moment.channelName = frame.channelName;
    if (captureFor(verdict, frame) == Capture::WithPicture) {
        moment.stream = frame.mainStream ? Moment::MainStream : Moment::GridStream;
        moment.picture = std::move(frame.image);
    }
    m_store->submit(std::move(moment));
}
