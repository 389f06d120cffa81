#include "momentwriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/statvfs.h>
#include <unistd.h>

namespace
{

const QString PartSuffix = QStringLiteral(".part");
const QString PictureSuffix = QStringLiteral(".jpg");

// The day folders the writer owns; anything else in the store's folder is left alone.
bool isDayFolder(const QString &name)
{
    static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return day.match(name).hasMatch();
}

// SQLite takes a null string for NULL, which the table refuses.
QString notNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

MomentWriter::MomentWriter(const QString &folder, const MomentSettings &settings)
    : m_folder(folder), m_settings(settings), m_index(folder)
{
    // Children, so that they move to the worker's thread with the writer.
    m_retryTimer = new QTimer(this);
    m_retryTimer->setInterval(RetryMs);
    connect(m_retryTimer, &QTimer::timeout, this, &MomentWriter::retry);
    m_ageTimer = new QTimer(this);
    m_ageTimer->setInterval(AgeCheckMs);
    connect(m_ageTimer, &QTimer::timeout, this,
            [this] { enforceLimits(QDateTime::currentMSecsSinceEpoch()); });
}

MomentWriter::~MomentWriter() = default;

bool MomentWriter::enqueue(Moment moment, bool *wake)
{
    QMutexLocker lock(&m_mutex);
    *wake = false;
    if (m_halted.load()) {
        ++m_dropped;
        return false;
    }
    const qint64 bytes = moment.picture.sizeInBytes();
    if (m_queue.size() >= MaxQueued || m_queuedBytes + bytes > MaxQueuedPixelBytes) {
        m_overflowLog.warning(QStringLiteral("Moments: the writer is behind; an NG moment of "
                                             "camera %1 was dropped.")
                                  .arg(moment.camera));
        return false;
    }
    m_queuedBytes += bytes;
    m_queue.enqueue(std::move(moment));
    *wake = !m_draining;
    m_draining = true;
    return true;
}

void MomentWriter::start()
{
    open(false);
    m_ageTimer->start();
}

void MomentWriter::drain()
{
    for (;;) {
        Moment moment;
        {
            QMutexLocker lock(&m_mutex);
            if (m_queue.isEmpty()) {
                m_draining = false;
                return;
            }
            moment = m_queue.dequeue();
            m_queuedBytes -= moment.picture.sizeInBytes();
        }
        QString why;
        if (!open(true))
            why = m_index.errorText();
        else if (write(moment, &why)) {
            emit kept(moment);
            const qint64 cutoff = QDateTime::currentMSecsSinceEpoch() - m_settings.maxAgeMs;
            if (m_totalBytes > m_settings.maxBytes || moment.timeMs < cutoff)
                evictOldest(cutoff, m_settings.maxBytes);
            continue;
        }
        halt(why);
        QMutexLocker lock(&m_mutex);
        ++m_dropped;
    }
}

void MomentWriter::enforceLimits(qint64 nowMs)
{
    if (open(false))
        evictOldest(nowMs - m_settings.maxAgeMs, m_settings.maxBytes);
}

void MomentWriter::finish()
{
    drain();
    m_retryTimer->stop();
    m_ageTimer->stop();
    m_index.close();
}

bool MomentWriter::open(bool create)
{
    if (m_index.isOpen())
        return true;
    if (!create && !QFileInfo::exists(m_folder))
        return false;
    if (!QDir().mkpath(m_folder)) {
        halt(QStringLiteral("cannot make the folder %1").arg(m_folder));
        return false;
    }
    if (!m_index.open(true) && !(m_index.isDamaged() && setAsideDamaged() && m_index.open(true))) {
        halt(QStringLiteral("cannot open the index %1").arg(m_index.errorText()));
        return false;
    }
    recover();
    evictOldest(QDateTime::currentMSecsSinceEpoch() - m_settings.maxAgeMs, m_settings.maxBytes);
    return true;
}

// A damaged index cannot tell which pictures are whose: the index and the day folders go to a
// folder of their own for the operator, and the store starts again empty.
bool MomentWriter::setAsideDamaged()
{
    const QString aside =
        QStringLiteral("damaged-%1")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QDir folder(m_folder);
    if (!folder.mkpath(aside))
        return false;
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (isDayFolder(entry) || entry.startsWith(MomentIndex::fileName()))
            folder.rename(entry, aside + QLatin1Char('/') + entry);
    }
    qWarning().noquote() << QStringLiteral("Moments: the index %1 is damaged; it and its pictures "
                                           "were moved to %2, and a new index begins.")
                                .arg(m_index.path(), folder.filePath(aside));
    return true;
}

// A writer killed between writing a picture and adding its row leaves a picture no row names,
// or a temporary file; neither is a kept moment.
void MomentWriter::recover()
{
    QSqlQuery query(m_index.database());
    QSet<QString> named;
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT file FROM moments WHERE file <> ''"))) {
        while (query.next())
            named.insert(query.value(0).toString());
    }
    QDir folder(m_folder);
    const QStringList days = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &day : days) {
        if (!isDayFolder(day))
            continue;
        const QStringList files = QDir(folder.filePath(day)).entryList(QDir::Files | QDir::Hidden);
        for (const QString &file : files) {
            const QString relative = day + QLatin1Char('/') + file;
            if (file.endsWith(PartSuffix) || !named.contains(relative))
                folder.remove(relative);
        }
        folder.rmdir(day);
    }
    m_totalBytes = 0;
    if (query.exec(QStringLiteral("SELECT count(*), coalesce(sum(bytes), 0) FROM moments")) &&
        query.next())
        m_totalBytes = query.value(0).toLongLong() * RowBytes + query.value(1).toLongLong();
}

QString MomentWriter::newFileFor(const Moment &moment) const
{
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(moment.timeMs);
    const QString stem = time.toString(QStringLiteral("yyyy-MM-dd/HHmmss-zzz")) +
                         QStringLiteral("-c%1").arg(moment.camera, 2, 10, QLatin1Char('0'));
    QString file = stem + PictureSuffix;
    for (int n = 2; QFileInfo::exists(m_index.pathOf(file)) ||
                    QFileInfo::exists(m_index.pathOf(file + PartSuffix));
         ++n)
        file = stem + QStringLiteral("-%1").arg(n) + PictureSuffix;
    return file;
}

bool MomentWriter::write(Moment &moment, QString *why)
{
    if (!hasRoom(why))
        return false;
    QByteArray jpeg;
    if (!moment.picture.isNull()) {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter encoder(&buffer, "jpg");
        encoder.setQuality(m_settings.jpegQuality);
        if (!encoder.write(moment.picture)) {
            m_encodeLog.warning(QStringLiteral("Moments: a picture of camera %1 could not be "
                                               "encoded (%2); the moment is kept without it.")
                                    .arg(moment.camera)
                                    .arg(encoder.errorString()));
            jpeg.clear();
        }
        moment.width = moment.picture.width();
        moment.height = moment.picture.height();
        // The frame's buffer goes back to the channel as soon as it is encoded.
        moment.picture = QImage();
    }
    if (jpeg.isEmpty()) {
        moment.stream = Moment::NoPicture;
        moment.file.clear();
        moment.bytes = moment.width = moment.height = 0;
        return insertRow(moment, why);
    }
    moment.file = newFileFor(moment);
    const QString path = m_index.pathOf(moment.file);
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *why = QStringLiteral("cannot make the folder %1").arg(QFileInfo(path).path());
        return false;
    }
    if (!writeFile(path, jpeg, why))
        return false;
    moment.bytes = jpeg.size();
    if (insertRow(moment, why))
        return true;
    QFile::remove(path);
    return false;
}

bool MomentWriter::writeFile(const QString &path, const QByteArray &bytes, QString *why)
{
    const QString part = path + PartSuffix;
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *why = QStringLiteral("cannot write %1: %2").arg(part, file.errorString());
        return false;
    }
    // On the disk before the rename: a name that exists always names a whole picture.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        *why = QStringLiteral("cannot write %1: %2").arg(part, errnoText());
        file.close();
        QFile::remove(part);
        return false;
    }
    file.close();
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) !=
        0) {
        *why = QStringLiteral("cannot rename %1: %2").arg(part, errnoText());
        QFile::remove(part);
        return false;
    }
    return true;
}

bool MomentWriter::insertRow(Moment &moment, QString *why)
{
    QSqlQuery query(m_index.database());
    query.prepare(QStringLiteral("INSERT INTO moments (time_ms, camera, reason, name, stream, "
                                 "file, bytes, width, height) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(moment.timeMs);
    query.addBindValue(moment.camera);
    query.addBindValue(notNull(moment.reason));
    query.addBindValue(notNull(moment.channelName));
    query.addBindValue(int(moment.stream));
    query.addBindValue(notNull(moment.file));
    query.addBindValue(moment.bytes);
    query.addBindValue(moment.width);
    query.addBindValue(moment.height);
    if (!query.exec()) {
        *why = QStringLiteral("cannot add to the index %1: %2")
                   .arg(m_index.path(), query.lastError().text());
        return false;
    }
    moment.id = query.lastInsertId().toLongLong();
    m_totalBytes += footprint(moment.bytes);
    return true;
}

bool MomentWriter::hasRoom(QString *why) const
{
    struct statvfs disk;
    if (::statvfs(QFile::encodeName(m_folder).constData(), &disk) != 0)
        return true;
    const qint64 free = qint64(disk.f_bavail) * qint64(disk.f_frsize);
    if (free >= MinFreeBytes)
        return true;
    *why = QStringLiteral("the disk of %1 is full (%2 kB free)").arg(m_folder).arg(free / 1024);
    return false;
}

void MomentWriter::evictOldest(qint64 cutoffMs, qint64 maxBytes)
{
    QSqlQuery query(m_index.database());
    query.setForwardOnly(true);
    for (;;) {
        if (!query.exec(QStringLiteral("SELECT %1 FROM moments ORDER BY time_ms, id LIMIT %2")
                            .arg(MomentIndex::columns())
                            .arg(EvictBatch)))
            return;
        QVector<Moment> oldest;
        qint64 total = m_totalBytes;
        int fetched = 0;
        bool done = false;
        while (query.next()) {
            ++fetched;
            const Moment m = MomentIndex::rowFrom(query);
            if (m.timeMs >= cutoffMs && total <= maxBytes) {
                done = true;
                break;
            }
            total -= footprint(m.bytes);
            oldest.append(m);
        }
        query.finish();
        if (oldest.isEmpty() || !remove(oldest) || done || fetched < EvictBatch)
            return;
    }
}

// The rows go first: a process killed between the two steps leaves pictures that no row names,
// which the next start removes, never a row without its picture.
bool MomentWriter::remove(const QVector<Moment> &moments)
{
    QSqlDatabase db = m_index.database();
    db.transaction();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM moments WHERE id = ?"));
    for (const Moment &m : moments) {
        query.addBindValue(m.id);
        if (!query.exec()) {
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        db.rollback();
        return false;
    }
    QDir folder(m_folder);
    for (const Moment &m : moments) {
        m_totalBytes -= footprint(m.bytes);
        if (m.file.isEmpty())
            continue;
        folder.remove(m.file);
        folder.rmdir(QFileInfo(m.file).path());
    }
    emit evicted(moments.size());
    return true;
}

void MomentWriter::halt(const QString &why)
{
    if (m_halted.exchange(true))
        return;
    dropQueued();
    qWarning().noquote() << QStringLiteral("Moments: capture stopped: %1; it resumes by itself "
                                           "once the folder can be written again.")
                                .arg(why);
    emit halted(why);
    m_retryTimer->start();
}

void MomentWriter::dropQueued()
{
    QMutexLocker lock(&m_mutex);
    m_dropped += m_queue.size();
    m_queue.clear();
    m_queuedBytes = 0;
}

void MomentWriter::retry()
{
    QString why;
    bool ok = open(true) && hasRoom(&why);
    if (ok) {
        const QString probe = m_index.pathOf(
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd/.probe")));
        ok = QDir().mkpath(QFileInfo(probe).path()) &&
             writeFile(probe, QByteArrayLiteral("probe"), &why) && QFile::remove(probe);
    }
    if (!ok)
        return;
    m_halted.store(false);
    m_retryTimer->stop();
    int dropped = 0;
    {
        QMutexLocker lock(&m_mutex);
        std::swap(dropped, m_dropped);
    }
    qWarning().noquote() << QStringLiteral("Moments: capture resumed; %1 NG moments were not "
                                           "kept while it was stopped.")
                                .arg(dropped);
    emit resumed(dropped);
}
