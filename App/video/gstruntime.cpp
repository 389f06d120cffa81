#include "gstruntime.h"

#include <QMutex>
#include <QThreadPool>

#include <gst/gst.h>

namespace
{

QMutex g_mutex;
bool g_initialised = false;
bool g_shutDown = false;
QThreadPool *g_pool = nullptr;

// The pool, made on first use; nullptr once shut down.
QThreadPool *pool()
{
    QMutexLocker locker(&g_mutex);
    if (!g_pool && !g_shutDown) {
        g_pool = new QThreadPool;
        g_pool->setMaxThreadCount(GstRuntime::ControlThreads);
        // Idle control threads end; a wall that sits still holds none.
        g_pool->setExpiryTimeout(30000);
    }
    return g_pool;
}

} // namespace

GstRuntime::~GstRuntime()
{
    shutdown();
}

void GstRuntime::ensureInitialised()
{
    QMutexLocker locker(&g_mutex);
    if (g_initialised || g_shutDown)
        return;
    gst_init(nullptr, nullptr);
    g_initialised = true;
}

void GstRuntime::run(std::function<void()> task)
{
    if (QThreadPool *threads = pool())
        threads->start(std::move(task));
}

void GstRuntime::waitForIdle()
{
    QThreadPool *threads = nullptr;
    {
        QMutexLocker locker(&g_mutex);
        threads = g_pool;
    }
    if (threads)
        threads->waitForDone();
}

void GstRuntime::shutdown()
{
    waitForIdle();
    QMutexLocker locker(&g_mutex);
    if (g_shutDown)
        return;
    g_shutDown = true;
    delete g_pool;
    g_pool = nullptr;
    if (g_initialised)
        gst_deinit();
}
