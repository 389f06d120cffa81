#pragma once

// Shared by the moments tests: moments to hand to a store, and the index read back as a reader
// after the fact would see it.
#include <QDateTime>
#include <QFile>
#include <QImageReader>
#include <QSqlQuery>
#include <QVector>

#include "moments/moment.h"
#include "moments/momentindex.h"

namespace MomentTestSupport
{

inline QImage filled(const QColor &color, const QSize &size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

inline Moment moment(int camera, qint64 timeMs, const QImage &picture = QImage(),
                     const QString &reason = QStringLiteral("scratch"))
{
    Moment m;
    m.camera = camera;
    m.timeMs = timeMs;
    m.reason = reason;
    m.channelName = QStringLiteral("line %1").arg(camera);
    m.picture = picture;
    m.stream = picture.isNull() ? Moment::NoPicture : Moment::GridStream;
    return m;
}

inline qint64 hoursAgo(double hours)
{
    return QDateTime::currentMSecsSinceEpoch() - qint64(hours * 3600 * 1000);
}

// Every row, oldest first; empty when the index cannot be opened.
inline QVector<Moment> rows(const QString &folder)
{
    MomentIndex index(folder);
    QVector<Moment> result;
    if (!index.open(false))
        return result;
    QSqlQuery query(index.database());
    query.exec(
        QStringLiteral("SELECT %1 FROM moments ORDER BY time_ms, id").arg(MomentIndex::columns()));
    while (query.next())
        result.append(MomentIndex::rowFrom(query));
    return result;
}

// A JPEG that was written to its end: its end-of-image marker is there and it decodes.
inline bool isCompleteJpeg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith(QByteArray("\xFF\xD9", 2)))
        return false;
    QImageReader reader(path);
    return !reader.read().isNull();
}

} // namespace MomentTestSupport
