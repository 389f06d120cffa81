#include "momentreader.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QImageReader>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include "momentindex.h"

namespace
{

constexpr qint64 HourMs = 3600 * 1000;
constexpr qint64 DayMs = 24 * HourMs;

QAtomicInteger<quint64> clientSerial(1);

} // namespace

MomentReader::MomentReader(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    qRegisterMetaType<Moment>();
    qRegisterMetaType<QVector<Moment>>();
    // Under the name the signals spell, which is what a queued connection looks up.
    qRegisterMetaType<QVector<qint64>>("QVector<qint64>");
    qRegisterMetaType<QVector<int>>();
}

MomentReader::~MomentReader()
{
    if (!m_thread)
        return;
    {
        QMutexLocker lock(&m_mutex);
        m_quit = true;
        m_wake.wakeAll();
    }
    m_thread->wait();
    delete m_thread;
}

quint64 MomentReader::newClient()
{
    return clientSerial.fetchAndAddRelaxed(1);
}

void MomentReader::requestIds(quint64 client, quint64 serial, const MomentFilter &filter)
{
    Job job;
    job.kind = Job::Ids;
    job.client = client;
    job.serial = serial;
    job.filter = filter;
    post(job);
}

void MomentReader::requestRows(quint64 client, const QVector<qint64> &ids)
{
    Job job;
    job.kind = Job::Rows;
    job.client = client;
    job.ids = ids;
    post(job);
}

void MomentReader::requestThumbnail(quint64 client, qint64 id, const QString &file)
{
    Job job;
    job.kind = Job::Thumbnail;
    job.client = client;
    job.id = id;
    job.file = file;
    post(job);
}

void MomentReader::requestPicture(quint64 client, qint64 id, const QString &file)
{
    Job job;
    job.kind = Job::Picture;
    job.client = client;
    job.id = id;
    job.file = file;
    post(job);
}

void MomentReader::requestCounts(quint64 client, qint64 nowMs)
{
    Job job;
    job.kind = Job::Counts;
    job.client = client;
    job.nowMs = nowMs;
    post(job);
}

void MomentReader::requestReasons(quint64 client)
{
    Job job;
    job.kind = Job::Reasons;
    job.client = client;
    post(job);
}

void MomentReader::post(Job job)
{
    QList<Job> dropped;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_thread) {
            m_thread = QThread::create([this] { run(); });
            m_thread->setObjectName(QStringLiteral("MomentReader"));
            m_thread->start(QThread::LowPriority);
        }
        QList<Job> &queue = m_jobs[job.kind];
        // Of these a client needs only the answer to its newest question.
        if (job.kind != Job::Rows && job.kind != Job::Thumbnail) {
            for (int i = queue.size() - 1; i >= 0; --i) {
                if (queue.at(i).client == job.client)
                    queue.removeAt(i);
            }
        }
        const bool thumbnail = job.kind == Job::Thumbnail;
        queue.append(std::move(job));
        while (thumbnail && queue.size() > MaxThumbnailRequests)
            dropped.append(queue.takeFirst());
        m_wake.wakeOne();
    }
    for (const Job &old : qAsConst(dropped))
        emit thumbnailReady(old.client, old.id, QImage(), true);
}

bool MomentReader::takeJob(Job *job)
{
    QMutexLocker lock(&m_mutex);
    for (;;) {
        if (m_quit)
            return false;
        for (QList<Job> &queue : m_jobs) {
            if (queue.isEmpty())
                continue;
            // Thumbnails newest first: they are the rows the operator looks at now.
            *job = queue.first().kind == Job::Thumbnail ? queue.takeLast() : queue.takeFirst();
            return true;
        }
        m_wake.wait(&m_mutex);
    }
}

void MomentReader::run()
{
    MomentIndex index(m_folder);
    Job job;
    while (takeJob(&job)) {
        if (job.kind == Job::Thumbnail || job.kind == Job::Picture) {
            answerPicture(job);
        } else {
            // The writer makes the index with its first moment: until then every answer is
            // empty.
            const bool open = index.open(false);
            answerQuery(open ? index.database() : QSqlDatabase(), job);
        }
    }
}

void MomentReader::answerQuery(const QSqlDatabase &db, const Job &job)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool open = db.isOpen();
    switch (job.kind) {
    case Job::Ids: {
        QVariantList values;
        const QString condition = job.filter.condition(&values);
        QString sql = QStringLiteral("SELECT id FROM moments WHERE %1 "
                                     "ORDER BY time_ms DESC, id DESC")
                          .arg(condition);
        if (job.filter.limit > 0)
            sql += QStringLiteral(" LIMIT %1").arg(job.filter.limit);
        QVector<qint64> ids;
        int offset = 0;
        int total = -1;
        // One snapshot for the count and the list: the writer may add rows in between.
        QSqlDatabase snapshot = db;
        const bool counted = open && job.filter.limit == 0 && snapshot.transaction();
        if (counted) {
            QSqlQuery count(db);
            count.prepare(QStringLiteral("SELECT count(*) FROM moments WHERE %1").arg(condition));
            for (const QVariant &value : qAsConst(values))
                count.addBindValue(value);
            if (count.exec() && count.next())
                total = count.value(0).toInt();
        }
        if (open && query.prepare(sql)) {
            for (const QVariant &value : qAsConst(values))
                query.addBindValue(value);
            if (query.exec()) {
                while (query.next()) {
                    ids.append(query.value(0).toLongLong());
                    if (offset == 0 && ids.size() == FirstIds && total > FirstIds) {
                        emit idsReady(job.client, job.serial, 0, ids, total, false);
                        offset = ids.size();
                        ids.clear();
                    }
                }
            }
            query.finish();
        }
        if (counted)
            snapshot.commit();
        emit idsReady(job.client, job.serial, offset, ids, offset + ids.size(), true);
        break;
    }
    case Job::Rows: {
        QStringList numbers;
        for (qint64 id : qAsConst(job.ids))
            numbers << QString::number(id);
        QVector<Moment> rows;
        if (open && !numbers.isEmpty() &&
            query.exec(QStringLiteral("SELECT %1 FROM moments WHERE id IN (%2)")
                           .arg(MomentIndex::columns(), numbers.join(QLatin1Char(','))))) {
            while (query.next())
                rows.append(MomentIndex::rowFrom(query));
        }
        emit rowsReady(job.client, job.ids, rows);
        break;
    }
    case Job::Counts: {
        QVector<int> hour(CameraCount), day(CameraCount);
        if (open &&
            query.prepare(QStringLiteral("SELECT camera, sum(time_ms >= ?), count(*) FROM moments "
                                         "WHERE time_ms >= ? AND time_ms <= ? GROUP BY camera"))) {
            query.addBindValue(job.nowMs - HourMs);
            query.addBindValue(job.nowMs - DayMs);
            query.addBindValue(job.nowMs);
            if (query.exec()) {
                while (query.next()) {
                    const int camera = query.value(0).toInt();
                    if (camera >= 1 && camera <= CameraCount) {
                        hour[camera - 1] = query.value(1).toInt();
                        day[camera - 1] = query.value(2).toInt();
                    }
                }
            }
        }
        emit countsReady(job.client, hour, day);
        break;
    }
    case Job::Reasons: {
        QStringList reasons;
        if (open && query.exec(QStringLiteral("SELECT reason FROM (SELECT reason FROM moments "
                                              "ORDER BY time_ms DESC LIMIT %1) WHERE reason <> '' "
                                              "GROUP BY reason ORDER BY count(*) DESC, reason "
                                              "LIMIT %2")
                                   .arg(ReasonsFromNewest)
                                   .arg(MaxReasons))) {
            while (query.next())
                reasons << query.value(0).toString();
        }
        emit reasonsReady(job.client, reasons);
        break;
    }
    default:
        break;
    }
}

void MomentReader::answerPicture(const Job &job)
{
    const QString path = m_folder + QLatin1Char('/') + job.file;
    if (job.kind == Job::Thumbnail) {
        emit thumbnailReady(job.client, job.id,
                            readScaled(path, QSize(ThumbnailWidth, ThumbnailHeight)), false);
        return;
    }
    QImageReader reader(path);
    emit pictureReady(job.client, job.id, reader.read());
}

QImage MomentReader::readScaled(const QString &path, const QSize &fit)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid())
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio));
    return reader.read();
}
