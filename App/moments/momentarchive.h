#pragma once

#include <QObject>

#include <memory>

#include "momentsettings.h"

class MomentReader;
class MomentRecorder;
class MomentStore;
class VideoChannelSet;
class VideoFrameSource;

// The console's NG moments in one place: the store that writes them, the recorder that decides
// what to keep, and the reader that the lists share. Nothing touches the disk until a moment is
// kept or a list asks.
class MomentArchive : public QObject
{
    Q_OBJECT

public:
    MomentArchive(const QString &folder, const MomentSettings &settings, QObject *parent = nullptr);
    ~MomentArchive() override;

    QString folder() const { return m_folder; }
    MomentStore *store() const { return m_store; }
    MomentRecorder *recorder() const { return m_recorder; }
    MomentReader *reader() const { return m_reader; }

    // The recorder takes its pictures from these channels (not owned; they outlive the
    // archive's use of them).
    void useChannels(const VideoChannelSet *channels);

private:
    Q_DISABLE_COPY(MomentArchive)

    const QString m_folder;
    MomentStore *m_store = nullptr;
    MomentRecorder *m_recorder = nullptr;
    MomentReader *m_reader = nullptr;
    std::unique_ptr<VideoFrameSource> m_frames;
};
