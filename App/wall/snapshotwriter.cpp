#include "snapshotwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace
{

const QString FolderName = QStringLiteral("InspectionConsole");

// A name not taken yet in the folder: the base name, then "-2", "-3" ... for snapshots taken
// within the same second.
QString freePath(const QString &folder, const QString &base)
{
    QString path = folder + QLatin1Char('/') + base + QStringLiteral(".png");
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = folder + QLatin1Char('/') + base + QStringLiteral("-%1.png").arg(n);
    return path;
}

} // namespace

SnapshotWriter::SnapshotWriter(QObject *parent) : QObject(parent)
{
    // One file at a time: the free name found is still free when it is written.
    m_pool.setMaxThreadCount(1);
}

SnapshotWriter::~SnapshotWriter() = default;

QString SnapshotWriter::folder()
{
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = QDir::homePath();
    return pictures + QLatin1Char('/') + FolderName;
}

QString SnapshotWriter::baseName(int channel, const QDateTime &when)
{
    const QString subject = channel == WholeWall
                                ? QStringLiteral("wall")
                                : QStringLiteral("C%1").arg(channel, 2, 10, QLatin1Char('0'));
    return subject + QLatin1Char('_') + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool SnapshotWriter::save(const QImage &image, int channel, const QDateTime &when)
{
    if (m_pending >= MaxPending)
        return false;
    ++m_pending;
    const QString base = baseName(channel, when);
    m_pool.start([this, image, base] {
        const QString dir = folder();
        QString path;
        QString error;
        if (!QDir().mkpath(dir)) {
            error = QStringLiteral("cannot create %1").arg(dir);
        } else {
            path = freePath(dir, base);
            // Written under a temporary name and renamed: a half-written file never shows up.
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
                error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        }
        QMetaObject::invokeMethod(
            this, [this, path, error] { finish(path, error); }, Qt::QueuedConnection);
    });
    return true;
}

void SnapshotWriter::finish(const QString &path, const QString &error)
{
    --m_pending;
    if (error.isEmpty())
        emit saved(path);
    else
        emit failed(error);
}
