#pragma once

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

// Saves snapshots of the camera wall as PNG files in the user's pictures folder, under
// "InspectionConsole/", named after the channel (or the wall) and the time. Encoding and
// writing happen on a thread of its own, one file after the other; the result comes back as a
// signal.
class SnapshotWriter : public QObject
{
    Q_OBJECT

public:
    // Snapshots waiting to be written at most; more are refused rather than queued.
    static constexpr int MaxPending = 3;
    // The channel number that stands for the whole wall.
    static constexpr int WholeWall = 0;

    explicit SnapshotWriter(QObject *parent = nullptr);
    ~SnapshotWriter() override;

    // The folder the snapshots go to.
    static QString folder();
    // "C05_20250131-140307" for channel 5, "wall_20250131-140307" for the whole wall.
    static QString baseName(int channel, const QDateTime &when);

    // Starts writing; false (and nothing written) when too many are still waiting.
    bool save(const QImage &image, int channel, const QDateTime &when);

signals:
    void saved(const QString &path);
    void failed(const QString &reason);

private:
    Q_DISABLE_COPY(SnapshotWriter)

    void finish(const QString &path, const QString &error);

    int m_pending = 0;
    // Last, so that it is destroyed first: its destructor waits for a write in progress.
    QThreadPool m_pool;
};
