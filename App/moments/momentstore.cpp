#include "momentstore.h"

#include <QDateTime>
#include <QStandardPaths>
#include <QThread>

#include "momentwriter.h"

MomentStore::MomentStore(const QString &folder, const MomentSettings &settings, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    qRegisterMetaType<Moment>();
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("MomentWriter"));
    m_writer = new MomentWriter(folder, settings);
    m_writer->moveToThread(m_thread);
    connect(m_writer, &MomentWriter::kept, this, &MomentStore::kept);
    connect(m_writer, &MomentWriter::evicted, this, &MomentStore::evicted);
    connect(m_writer, &MomentWriter::halted, this, [this](const QString &why) {
        m_haltReason = why;
        emit captureStopped(why);
    });
    connect(m_writer, &MomentWriter::resumed, this, [this] {
        m_haltReason.clear();
        emit captureResumed();
    });
}

MomentStore::~MomentStore()
{
    if (m_thread->isRunning()) {
        // What is queued is written before the thread ends: the queue is bounded, and those
        // moments are the operator's.
        QMetaObject::invokeMethod(m_writer, &MomentWriter::finish, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
    }
    delete m_writer;
}

QString MomentStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/moments");
}

void MomentStore::start()
{
    if (m_started)
        return;
    m_started = true;
    m_thread->start(QThread::LowPriority);
    QMetaObject::invokeMethod(m_writer, &MomentWriter::start, Qt::QueuedConnection);
}

bool MomentStore::submit(Moment moment)
{
    start();
    bool wake = false;
    if (!m_writer->enqueue(std::move(moment), &wake))
        return false;
    if (wake)
        QMetaObject::invokeMethod(m_writer, &MomentWriter::drain, Qt::QueuedConnection);
    return true;
}

void MomentStore::enforceLimits()
{
    start();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QMetaObject::invokeMethod(
        m_writer, [this, now] { m_writer->enforceLimits(now); }, Qt::QueuedConnection);
}
