#pragma once

#include <QObject>
#include <QString>

#include "moment.h"
#include "momentsettings.h"

class MomentWriter;
class QThread;

// Keeps NG moments on the disk: pictures as JPEG in one folder per day, and an index of them,
// under the given folder (by default the user's data folder + "/moments"). The GUI thread hands
// over a moment with the picture it already holds and returns at once; a worker thread encodes
// and writes it (MomentWriter). When the folder cannot be written or the disk is full, capture
// stops with capturing() false and the reason, and resumes by itself once it can write again.
class MomentStore : public QObject
{
    Q_OBJECT

public:
    MomentStore(const QString &folder, const MomentSettings &settings, QObject *parent = nullptr);
    ~MomentStore() override;

    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Opens an existing index on the worker (evicting what is past the limits) and starts the
    // periodic age check; a store that was never written stays without folder until the first
    // moment.
    void start();
    // Hands a moment over to the worker; false when it is dropped (capture stopped, or the
    // worker too far behind).
    bool submit(Moment moment);
    // Asks the worker to evict what lies past the limits now.
    void enforceLimits();

    bool capturing() const { return m_haltReason.isEmpty(); }
    QString haltReason() const { return m_haltReason; }

signals:
    void kept(const Moment &moment);
    void evicted(int count);
    void captureStopped(const QString &why);
    void captureResumed();

private:
    Q_DISABLE_COPY(MomentStore)

    const QString m_folder;
    QThread *m_thread = nullptr;
    MomentWriter *m_writer = nullptr;
    bool m_started = false;
    QString m_haltReason;
};
