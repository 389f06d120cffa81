#pragma once

#include <QImage>
#include <QtGlobal>

// One decoded picture as the GUI thread receives it, in square pixels. The image shares the
// pipeline's buffer until the last copy of it goes.
struct VideoFrame {
    QImage image;
    // Counts the frames of a channel's pipeline, from 1; a gap means frames were replaced
    // before the GUI took them.
    quint64 serial = 0;
    // When the frame left the decoder, on the monotonic clock (ns).
    qint64 decodedNs = 0;

    bool isNull() const { return image.isNull(); }
};
