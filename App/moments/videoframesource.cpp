#include "videoframesource.h"

#include "video/videochannel.h"
#include "video/videochannelset.h"

VideoFrameSource::VideoFrameSource(const VideoChannelSet *channels) : m_channels(channels) {}

MomentFrame VideoFrameSource::newestFrame(int camera) const
{
    MomentFrame frame;
    const VideoChannel *channel = m_channels ? m_channels->channel(camera) : nullptr;
    if (!channel)
        return frame;
    frame.channelName = channel->name();
    if (channel->frame().isNull())
        return frame;
    frame.image = channel->frame().image;
    frame.ageMs = channel->msSinceLastFrame();
    frame.mainStream = channel->stream() == VideoChannel::Stream::Main;
    return frame;
}
