#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QVector>
#include <QWaitCondition>

#include "moment.h"
#include "momentfilter.h"

class QSqlDatabase;
class QThread;

// Answers the lists' questions about the kept moments on a thread of its own, so that the GUI
// thread never waits on the index or a picture file: which moments a filter selects (newest
// first), their rows, their thumbnails and full pictures, counts per camera and the reasons on
// record. Any number of clients share it; every answer is a signal carrying the client's number
// and arrives on the thread the reader belongs to. Questions wait in small queues: a client's
// newer list question replaces its older one, and only the newest thumbnail requests are kept.
class MomentReader : public QObject
{
    Q_OBJECT

public:
    static constexpr int ThumbnailWidth = 160;
    static constexpr int ThumbnailHeight = 90;
    static constexpr int MaxThumbnailRequests = 48;
    static constexpr int MaxReasons = 64;
    // The reasons offered come from this many newest moments, so that the question costs the
    // same however large the index grows.
    static constexpr int ReasonsFromNewest = 10000;
    static constexpr int CameraCount = 16;
    // A longer list is answered in two parts: its head at once, so that a view can paint, and
    // the rest once it is read.
    static constexpr int FirstIds = 512;

    explicit MomentReader(const QString &folder, QObject *parent = nullptr);
    ~MomentReader() override;

    QString folder() const { return m_folder; }
    static quint64 newClient();

    // Any of them from the reader's thread.
    void requestIds(quint64 client, quint64 serial, const MomentFilter &filter);
    void requestRows(quint64 client, const QVector<qint64> &ids);
    void requestThumbnail(quint64 client, qint64 id, const QString &file);
    void requestPicture(quint64 client, qint64 id, const QString &file);
    // Moments per camera (index 0 is camera 1) in the hour and the day before nowMs.
    void requestCounts(quint64 client, qint64 nowMs);
    // The reasons of the newest moments, the most frequent first.
    void requestReasons(quint64 client);

    // A picture file scaled to fit the size, decoded at that size where the format allows.
    static QImage readScaled(const QString &path, const QSize &fit);

signals:
    // The ids from offset on, newest first; total: the whole list's length.
    void idsReady(quint64 client, quint64 serial, int offset, const QVector<qint64> &ids, int total,
                  bool complete);
    void rowsReady(quint64 client, const QVector<qint64> &asked, const QVector<Moment> &rows);
    // dropped: the request gave way to newer ones and may be asked again; otherwise a null
    // image means the file could not be read.
    void thumbnailReady(quint64 client, qint64 id, const QImage &image, bool dropped);
    void pictureReady(quint64 client, qint64 id, const QImage &image);
    void countsReady(quint64 client, const QVector<int> &lastHour, const QVector<int> &lastDay);
    void reasonsReady(quint64 client, const QStringList &reasons);

private:
    Q_DISABLE_COPY(MomentReader)

    struct Job {
        // In the order they are answered: what the operator looks at first.
        enum Kind { Ids, Rows, Picture, Thumbnail, Counts, Reasons } kind = Ids;
        quint64 client = 0;
        quint64 serial = 0;
        MomentFilter filter;
        QVector<qint64> ids;
        qint64 id = 0;
        QString file;
        qint64 nowMs = 0;
    };

    void post(Job job);
    bool takeJob(Job *job);
    void run();
    void answerQuery(const QSqlDatabase &db, const Job &job);
    void answerPicture(const Job &job);

    const QString m_folder;
    QThread *m_thread = nullptr;
    QMutex m_mutex;
    QWaitCondition m_wake;
    // One queue per kind, answered in the kinds' order.
    QList<Job> m_jobs[Job::Reasons + 1];
    bool m_quit = false;
};
