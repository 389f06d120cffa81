#pragma once

#include <QImage>
#include <QMetaType>
#include <QString>
#include <QVector>

// One NG verdict as the console keeps it: when, which camera, why, and the picture the camera's
// channel showed then (or none). On its way to the store it carries the picture itself; as a row
// of the index it carries the picture's file instead.
struct Moment {
    // Which of the channel's streams the picture came from.
    enum Stream { NoPicture = 0, MainStream = 1, GridStream = 2 };

    // The index's row; 0 until the moment is kept.
    qint64 id = 0;
    // The verdict's time, in milliseconds since the epoch.
    qint64 timeMs = 0;
    int camera = 0;
    QString reason;
    QString channelName;
    Stream stream = NoPicture;
    // The picture's file, relative to the store's folder; empty when there is none.
    QString file;
    qint64 bytes = 0;
    int width = 0;
    int height = 0;
    // Shares the frame the channel held: kept until the store has written it.
    QImage picture;

    bool hasPicture() const { return stream != NoPicture; }
};

Q_DECLARE_METATYPE(Moment)
Q_DECLARE_METATYPE(QVector<Moment>)
