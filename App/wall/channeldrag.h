#pragma once

#include <QString>

class QMimeData;

// What a drag onto the camera wall carries: a channel number, from a tile or from a camera of
// the navigation tree.
class ChannelDrag
{
public:
    static QString mimeType();
    // New data for the channel; the caller (a drag) takes it.
    static QMimeData *mimeData(int channel);
    // The channel the data carries, or -1.
    static int channelOf(const QMimeData *data);
};
