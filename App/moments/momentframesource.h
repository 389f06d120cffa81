#pragma once

#include <QImage>
#include <QString>

// What the recorder asks of the live video: the newest frame a camera's channel holds, how old
// it is, which of the channel's streams it came from, and the channel's name.
struct MomentFrame {
    // Null when the channel has shown no picture yet.
    QImage image;
    // Milliseconds since the frame arrived; negative when unknown.
    qint64 ageMs = -1;
    bool mainStream = false;
    QString channelName;
};

class MomentFrameSource
{
public:
    virtual ~MomentFrameSource() = default;
    // Camera 1 to 16. Called on the GUI thread; hands over the frame it holds, never a copy.
    virtual MomentFrame newestFrame(int camera) const = 0;
};
