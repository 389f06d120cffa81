#pragma once

#include <QDateTime>
#include <QObject>

#include <array>

#include "common/ratelimitedlog.h"
#include "momentframesource.h"
#include "station/stationmessage.h"

class MomentStore;

// The capture rule: every NG verdict of a camera becomes a moment, with the camera's newest
// picture when it is at most FreshFrameMs old and without one otherwise. A verdict that repeats
// the camera's previous one (same time, same reason) is the broker handing its retained message
// over again after a reconnect, not a new part, and is kept once. Runs on the GUI thread and
// costs a shared reference to the frame, never a copy or a wait.
class MomentRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 FreshFrameMs = 2000;
    static constexpr int FirstCamera = 1;
    static constexpr int LastCamera = 16;

    using Verdict = StationMessage::Verdict;
    enum class Capture { Nothing, WithPicture, WithoutPicture };

    explicit MomentRecorder(MomentStore *store, QObject *parent = nullptr);

    // Without a source every moment is kept without a picture. Not owned.
    void setFrameSource(const MomentFrameSource *source);

    // What a verdict with the channel's newest frame leads to.
    static Capture captureFor(Verdict verdict, const MomentFrame &frame);

public slots:
    // A verdict of the station (StationModel::verdictReceived); an invalid time stands for now.
    void takeVerdict(int camera, Verdict verdict, const QDateTime &time, const QString &reason);

private:
    Q_DISABLE_COPY(MomentRecorder)

    struct Previous {
        qint64 timeMs = -1;
        QString reason;
    };

    MomentStore *m_store;
    std::array<Previous, LastCamera> m_previous;
    const MomentFrameSource *m_source = nullptr;
    RateLimitedLog m_badCameraLog;
};
