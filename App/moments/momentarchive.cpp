#include "momentarchive.h"

#include "momentreader.h"
#include "momentrecorder.h"
#include "momentstore.h"
#include "videoframesource.h"

MomentArchive::MomentArchive(const QString &folder, const MomentSettings &settings, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    m_store = new MomentStore(folder, settings, this);
    m_recorder = new MomentRecorder(m_store, this);
    m_reader = new MomentReader(folder, this);
    // Past the age limit since the last run: evicted now rather than with the next moment.
    m_store->start();
}

MomentArchive::~MomentArchive() = default;

void MomentArchive::useChannels(const VideoChannelSet *channels)
{
    m_frames = std::make_unique<VideoFrameSource>(channels);
    m_recorder->setFrameSource(m_frames.get());
}
