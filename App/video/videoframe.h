#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>

// One decoded picture as the GUI thread receives it. The image shares the decoder's buffer
// until the last copy of it goes.
struct VideoFrame {
    QImage image;
    // The picture's shape on screen: the image's size corrected by the pixel aspect ratio.
    QSize displaySize;
    // Counts the frames of a channel's pipeline, from 1; a gap means frames were replaced
    // before the GUI took them.
    quint64 serial = 0;
    // When the frame left the decoder, on the monotonic clock (ns).
    qint64 decodedNs = 0;

    bool isNull() const { return image.isNull(); }
};
