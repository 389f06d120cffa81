#pragma once

#include "momentframesource.h"

class VideoChannelSet;

// The recorder's view of the console's video channels: a camera's newest decoded frame, shared
// with the channel, how long ago it came, and whether the channel is playing its main stream.
class VideoFrameSource : public MomentFrameSource
{
public:
    // Not owned; outlives the source.
    explicit VideoFrameSource(const VideoChannelSet *channels);

    MomentFrame newestFrame(int camera) const override;

private:
    const VideoChannelSet *m_channels;
};
