#pragma once

#include <QMutex>
#include <QObject>
#include <QQueue>

#include <atomic>

#include "common/ratelimitedlog.h"
#include "moment.h"
#include "momentindex.h"
#include "momentsettings.h"

class QTimer;

// The store's worker, on a thread of its own: encodes each queued moment's picture as JPEG,
// writes it under a temporary name, flushes it to the disk and renames it, and only then adds
// its row to the index, so that every row points at a complete picture whenever the process
// dies. It keeps the pictures within the disk budget and the age limit, oldest first. A folder
// it cannot write or a full disk stops it: it says so once, drops what arrives, and tries again
// every few seconds until it can write.
class MomentWriter : public QObject
{
    Q_OBJECT

public:
    // The queue's bounds: a burst beyond them is dropped rather than held in memory.
    static constexpr int MaxQueued = 256;
    static constexpr qint64 MaxQueuedPixelBytes = 192LL * 1024 * 1024;
    static constexpr int RetryMs = 2000;
    static constexpr int AgeCheckMs = 3600 * 1000;
    // Below this much free space the disk counts as full.
    static constexpr qint64 MinFreeBytes = 16LL * 1024 * 1024;
    // What a row of the index costs on the disk, counted against the budget with its picture,
    // so that moments without a picture cannot grow the index without bound.
    static constexpr qint64 RowBytes = 256;
    static constexpr int EvictBatch = 256;

    MomentWriter(const QString &folder, const MomentSettings &settings);
    ~MomentWriter() override;

    // Any thread. Queues a moment unless the writer is halted or the queue is full. *wake
    // tells whether drain() must be called (the worker was idle).
    bool enqueue(Moment moment, bool *wake);
    bool isHalted() const { return m_halted.load(); }
    static qint64 footprint(qint64 pictureBytes) { return pictureBytes + RowBytes; }

public slots:
    // Worker thread. Opens an index that exists (removing what a killed writer left behind and
    // what is past the limits) and starts the age check.
    void start();
    // Worker thread. Writes every queued moment.
    void drain();
    // Worker thread. Evicts what lies outside the limits at nowMs.
    void enforceLimits(qint64 nowMs);
    // Worker thread. Writes what is queued and closes the index.
    void finish();

signals:
    // Without the picture itself; id and file are the index's.
    void kept(const Moment &moment);
    void evicted(int count);
    void halted(const QString &why);
    // With the number of moments dropped while halted.
    void resumed(int dropped);

private:
    Q_DISABLE_COPY(MomentWriter)

    bool open(bool create);
    bool setAsideDamaged();
    void recover();
    QString newFileFor(const Moment &moment) const;
    bool write(Moment &moment, QString *why);
    bool writeFile(const QString &path, const QByteArray &bytes, QString *why);
    bool insertRow(Moment &moment, QString *why);
    bool hasRoom(QString *why) const;
    void evictOldest(qint64 cutoffMs, qint64 maxBytes);
    bool remove(const QVector<Moment> &moments);
    void halt(const QString &why);
    void retry();
    void dropQueued();

    const QString m_folder;
    const MomentSettings m_settings;
    MomentIndex m_index;
    QTimer *m_retryTimer = nullptr;
    QTimer *m_ageTimer = nullptr;
    qint64 m_totalBytes = 0;
    RateLimitedLog m_encodeLog;

    mutable QMutex m_mutex;
    QQueue<Moment> m_queue;
    qint64 m_queuedBytes = 0;
    bool m_draining = false;
    int m_dropped = 0;
    RateLimitedLog m_overflowLog;
    std::atomic<bool> m_halted{false};
};
