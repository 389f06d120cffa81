// NG moments: what keeping them costs the console.
//   verdict  GUI-thread time per NG verdict (the recorder taking the channel's frame and handing
//            it to the store), against a queued call that hands over nothing, in the same run.
//   burst    100 NG verdicts a second for --seconds (30) over sixteen live channels painted on a
//            wall at 25 frames a second: moments kept and dropped, the time from verdict to kept,
//            and the frames the wall painted against the same wall without verdicts.
//   page     the moments page over an index of 100,000 moments: time to its first paint with
//            rows, to the visible rows and thumbnails, and per scroll step, against the first
//            paint of a bare window.
// Channels are generated in the process (640x360, 25 frames a second each, on a thread of their
// own), so that the figures measure the moments and not a decoder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QListView>
#include <QMutex>
#include <QPainter>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

#include "benchsupport.h"
#include "moments/momentarchive.h"
#include "moments/momentindex.h"
#include "moments/momentlistmodel.h"
#include "moments/momentreader.h"
#include "moments/momentrecorder.h"
#include "moments/momentstore.h"
#include "ui/moments/momentspage.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;

namespace
{

constexpr int Channels = 16;
constexpr int FrameWidth = 640;
constexpr int FrameHeight = 360;
constexpr int FramesPerSecond = 25;
constexpr int FramesPerChannel = 25;
constexpr int VerdictsPerSecond = 100;
constexpr int VerdictRuns = 2000;
constexpr int PageMoments = 100000;
constexpr int PagePictures = 64;
constexpr int ScrollSteps = 300;
constexpr qint64 NoBudget = qint64(1) << 42;
constexpr int DrainWaitMs = 60000;
constexpr int SettleMs = 3000;

double ms(qint64 ns)
{
    return ns / 1e6;
}

template <typename T>
T percentile(std::vector<T> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * values.size()))];
}

// Sixteen channels' newest frames, produced on a thread of their own at 25 a second each, as a
// video source hands them over: a guarded slot per channel and one queued wake-up at a time.
class Channels16 : public QObject, public MomentFrameSource
{
public:
    Channels16()
    {
        for (int c = 0; c < Channels; ++c) {
            for (int f = 0; f < FramesPerChannel; ++f) {
                QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
                image.fill(QColor::fromHsv((c * 22 + f * 3) % 360, 200, 100 + f * 5));
                // Texture, so that the pictures are as large as a camera's as JPEG.
                for (int y = 0; y < FrameHeight; y += 2) {
                    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                    for (int x = 0; x < FrameWidth; ++x)
                        line[x] ^= ((x * 7919 + y * 104729 + c * 31 + f * 17) % 97) * 0x010101;
                }
                QPainter(&image).fillRect(f * 20, 100, 80, 80, Qt::white);
                m_frames[c].push_back(image);
            }
        }
    }
    ~Channels16() override { stop(); }

    void start()
    {
        m_running = true;
        m_thread = QThread::create([this] { produce(); });
        m_thread->start();
    }
    void stop()
    {
        m_running = false;
        if (m_thread) {
            m_thread->wait();
            delete m_thread;
            m_thread = nullptr;
        }
    }

    MomentFrame newestFrame(int camera) const override
    {
        QMutexLocker lock(&m_mutex);
        const Slot &slot = m_slots[camera - 1];
        MomentFrame frame;
        frame.image = slot.image;
        frame.ageMs = (monotonicNs() - slot.timeNs) / 1000000;
        frame.channelName = QStringLiteral("bench %1").arg(camera);
        return frame;
    }
    // The newest frame and its serial, for the wall.
    QImage take(int channel, qint64 *serial) const
    {
        QMutexLocker lock(&m_mutex);
        *serial = m_slots[channel].serial;
        return m_slots[channel].image;
    }
    qint64 produced() const { return m_produced.load(); }
    std::function<void()> wake;

private:
    struct Slot {
        QImage image;
        qint64 timeNs = 0;
        qint64 serial = 0;
    };

    void produce()
    {
        const qint64 intervalNs = 1000000000LL / FramesPerSecond;
        qint64 next = monotonicNs();
        for (int f = 0; m_running; ++f) {
            {
                QMutexLocker lock(&m_mutex);
                for (int c = 0; c < Channels; ++c) {
                    Slot &slot = m_slots[c];
                    slot.image = m_frames[c][f % FramesPerChannel];
                    slot.timeNs = monotonicNs();
                    ++slot.serial;
                }
            }
            m_produced += Channels;
            if (!m_wakePending.exchange(true))
                QMetaObject::invokeMethod(this, [this] {
                    m_wakePending = false;
                    if (wake)
                        wake();
                });
            next += intervalNs;
            const qint64 wait = next - monotonicNs();
            if (wait > 0)
                QThread::usleep(wait / 1000);
        }
    }

    std::vector<QImage> m_frames[Channels];
    mutable QMutex m_mutex;
    Slot m_slots[Channels];
    QThread *m_thread = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_wakePending{false};
    std::atomic<qint64> m_produced{0};
};

// A wall of sixteen tiles painting each channel's newest frame; counts the frames it shows.
class Wall : public QWidget
{
public:
    explicit Wall(Channels16 *channels) : m_channels(channels)
    {
        channels->wake = [this] { update(); };
    }
    qint64 shown = 0;
    qint64 paints = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int w = width() / 4;
        const int h = height() / 4;
        for (int c = 0; c < Channels; ++c) {
            qint64 serial = 0;
            const QImage image = m_channels->take(c, &serial);
            if (serial != m_lastSerial[c]) {
                shown += serial - m_lastSerial[c] > 0 ? 1 : 0;
                m_lastSerial[c] = serial;
            }
            painter.drawImage(QRect((c % 4) * w, (c / 4) * h, w, h), image);
        }
        ++paints;
    }

private:
    Channels16 *m_channels;
    qint64 m_lastSerial[Channels] = {};
};

MomentSettings unlimited()
{
    MomentSettings settings;
    settings.maxBytes = NoBudget;
    return settings;
}

void benchVerdict()
{
    QTemporaryDir dir;
    Channels16 channels;
    channels.start();
    QThread::msleep(100);
    MomentStore store(dir.path(), unlimited());
    // Started with the console, as the archive does, not by the first verdict.
    store.start();
    MomentRecorder recorder(&store);
    recorder.setFrameSource(&channels);
    int kept = 0;
    QObject::connect(&store, &MomentStore::kept, [&kept] { ++kept; });
    std::vector<qint64> verdictNs, baselineNs;
    QObject sink;
    // In rounds of 50, each written before the next, so that the queue never fills.
    for (int done = 0; done < VerdictRuns;) {
        for (int i = 0; i < 50; ++i, ++done) {
            const qint64 t0 = monotonicNs();
            recorder.takeVerdict(done % Channels + 1, MomentRecorder::Verdict::Ng,
                                 QDateTime::currentDateTime(), QStringLiteral("bench"));
            const qint64 t1 = monotonicNs();
            QMetaObject::invokeMethod(
                &sink, [] {}, Qt::QueuedConnection);
            const qint64 t2 = monotonicNs();
            verdictNs.push_back(t1 - t0);
            baselineNs.push_back(t2 - t1);
        }
        while (kept < done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    channels.stop();
    std::printf("verdict: GUI thread per NG verdict, 640x360 frames, %d verdicts\n", VerdictRuns);
    std::printf("  recorder             median %.4f ms  p99 %.4f ms  max %.4f ms\n",
                ms(median(verdictNs)), ms(percentile(verdictNs, 0.99)),
                ms(*std::max_element(verdictNs.begin(), verdictNs.end())));
    std::printf("  baseline queued call median %.4f ms  p99 %.4f ms\n", ms(median(baselineNs)),
                ms(percentile(baselineNs, 0.99)));
}

struct WallRun {
    qint64 produced = 0;
    qint64 shown = 0;
    qint64 paints = 0;
};

WallRun runWall(Channels16 &channels, int seconds, const std::function<void()> &perTick, int tickMs)
{
    Wall wall(&channels);
    wall.resize(1280, 720);
    wall.show();
    channels.start();
    QTimer tick;
    if (perTick) {
        QObject::connect(&tick, &QTimer::timeout, perTick);
        tick.start(tickMs);
    }
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    const qint64 produced0 = channels.produced();
    loop.exec();
    tick.stop();
    channels.stop();
    return {channels.produced() - produced0, wall.shown, wall.paints};
}

void benchBurst(int seconds)
{
    Channels16 quiet;
    const WallRun bare = runWall(quiet, seconds, {}, 0);

    QTemporaryDir dir;
    MomentStore store(dir.path(), MomentSettings());
    MomentRecorder recorder(&store);
    Channels16 channels;
    recorder.setFrameSource(&channels);
    std::vector<double> lagMs;
    int kept = 0;
    QObject::connect(&store, &MomentStore::kept, [&](const Moment &m) {
        ++kept;
        lagMs.push_back(QDateTime::currentMSecsSinceEpoch() - m.timeMs);
    });
    int submitted = 0;
    std::vector<qint64> verdictNs;
    const WallRun busy = runWall(
        channels, seconds,
        [&] {
            const qint64 t0 = monotonicNs();
            recorder.takeVerdict(submitted % Channels + 1, MomentRecorder::Verdict::Ng,
                                 QDateTime::currentDateTime(), QStringLiteral("burst"));
            verdictNs.push_back(monotonicNs() - t0);
            ++submitted;
        },
        1000 / VerdictsPerSecond);
    QElapsedTimer drain;
    drain.start();
    while (kept < submitted && drain.elapsed() < DrainWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    qint64 bytes = 0;
    for (const QFileInfo &day : QDir(dir.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo &file : QDir(day.filePath()).entryInfoList(QDir::Files))
            bytes += file.size();

    std::printf("burst: %d NG verdicts a second for %d s, sixteen 640x360 channels at %d fps\n",
                VerdictsPerSecond, seconds, FramesPerSecond);
    std::printf("  verdicts %d  kept %d  dropped %d  pictures %.1f MB (budget %d MB)\n", submitted,
                kept, submitted - kept, bytes / 1048576.0, MomentSettings::DefaultMaxMegabytes);
    if (!lagMs.empty())
        std::printf("  verdict to kept      median %.1f ms  p99 %.1f ms\n", median(lagMs),
                    percentile(lagMs, 0.99));
    std::printf("  GUI per verdict      median %.4f ms  p99 %.4f ms\n", ms(median(verdictNs)),
                ms(percentile(verdictNs, 0.99)));
    const auto perTile = [seconds](const WallRun &run) {
        return double(run.shown) / Channels / seconds;
    };
    std::printf("  wall frames shown per tile a second: %.1f with the burst, %.1f without "
                "(produced %.1f); paints %.1f/s and %.1f/s\n",
                perTile(busy), perTile(bare), double(busy.produced) / Channels / seconds,
                double(busy.paints) / seconds, double(bare.paints) / seconds);
}

// An index of PageMoments rows whose pictures are PagePictures files, written directly.
bool fillIndex(const QString &folder)
{
    QDir().mkpath(folder + QStringLiteral("/2024-01-01"));
    QStringList files;
    for (int i = 0; i < PagePictures; ++i) {
        QImage image(FrameWidth, FrameHeight, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 5, 200, 200));
        const QString file = QStringLiteral("2024-01-01/%1.jpg").arg(i);
        QImageWriter writer(folder + QLatin1Char('/') + file, "jpg");
        if (!writer.write(image))
            return false;
        files << file;
    }
    MomentIndex index(folder);
    if (!index.open(true))
        return false;
    QSqlDatabase db = index.database();
    db.transaction();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO moments (time_ms, camera, reason, name, stream, "
                                 "file, bytes, width, height) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                                 "?)"));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (int i = 0; i < PageMoments; ++i) {
        query.addBindValue(now - qint64(PageMoments - i) * 10000);
        query.addBindValue(i % Channels + 1);
        query.addBindValue(QStringLiteral("reason %1").arg(i % 37));
        query.addBindValue(QStringLiteral("line %1").arg(i % Channels + 1));
        query.addBindValue(int(Moment::GridStream));
        query.addBindValue(files.at(i % PagePictures));
        query.addBindValue(30000);
        query.addBindValue(FrameWidth);
        query.addBindValue(FrameHeight);
        if (!query.exec())
            return false;
    }
    return db.commit();
}

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(std::function<bool()> counts) : m_counts(std::move(counts)) {}
    qint64 at = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && at == 0 && m_counts())
            at = monotonicNs();
        return false;
    }

private:
    std::function<bool()> m_counts;
};

bool visibleRows(QListView *list, int role)
{
    const QModelIndex first = list->indexAt(QPoint(1, 1));
    if (!first.isValid())
        return false;
    const int rows = list->viewport()->height() / list->sizeHintForRow(0);
    for (int r = first.row(); r < first.row() + rows && r < list->model()->rowCount(); ++r) {
        const QVariant value = list->model()->index(r, 0).data(role);
        if (role == Qt::DecorationRole ? value.isNull() : !value.toBool())
            return false;
    }
    return true;
}

double waitFor(QListView *list, int role, qint64 since)
{
    QElapsedTimer limit;
    limit.start();
    while (!visibleRows(list, role) && limit.elapsed() < DrainWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return ms(monotonicNs() - since);
}

void benchPage()
{
    // Baseline: a bare window's first paint. Both after a page over an empty index has paid
    // for what a process does once and the running console has done long before (fonts, the
    // display connection, the input method of the first line edit).
    {
        QTemporaryDir empty;
        MomentArchive archive(empty.path(), unlimited());
        MomentsPage warmUp(&archive);
        FirstPaint painted([] { return true; });
        warmUp.installEventFilter(&painted);
        warmUp.show();
        while (painted.at == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    double bareMs = 0;
    {
        QWidget bare;
        bare.resize(1280, 800);
        FirstPaint painted([] { return true; });
        bare.installEventFilter(&painted);
        const qint64 t0 = monotonicNs();
        bare.show();
        while (painted.at == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        bareMs = ms(painted.at - t0);
    }
    QTemporaryDir dir;
    const qint64 f0 = monotonicNs();
    if (!fillIndex(dir.path())) {
        std::printf("page: could not make the index\n");
        return;
    }
    const double fillMs = ms(monotonicNs() - f0);
    // The list question alone, on the reader's thread, as the page asks it.
    double headMs = 0;
    double idsMs = 0;
    {
        MomentReader reader(dir.path());
        bool answered = false;
        const qint64 q0 = monotonicNs();
        QObject::connect(
            &reader, &MomentReader::idsReady,
            [&](quint64, quint64, int offset, const QVector<qint64> &, int, bool complete) {
                if (offset == 0)
                    headMs = ms(monotonicNs() - q0);
                answered = complete;
            });
        reader.requestIds(MomentReader::newClient(), 1, MomentFilter());
        while (!answered)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        idsMs = ms(monotonicNs() - q0);
    }
    MomentArchive archive(dir.path(), unlimited());
    // The archive opens the index with the console, long before the operator opens the page:
    // its start-up check of the pictures is left to finish first.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < SettleMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const qint64 t0 = monotonicNs();
    MomentsPage page(&archive);
    const double constructMs = ms(monotonicNs() - t0);
    page.resize(1280, 800);
    FirstPaint painted([&page] { return page.model()->rowCount() > 0; });
    page.listView()->viewport()->installEventFilter(&painted);
    page.show();
    while (painted.at == 0 && ms(monotonicNs() - t0) < DrainWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double firstPaintMs = ms(painted.at - t0);
    const double rowsMs = waitFor(page.listView(), MomentListModel::LoadedRole, t0);
    const double thumbnailsMs = waitFor(page.listView(), Qt::DecorationRole, t0);

    // Scrolling a page at a time: the GUI thread's time per step, and the time until the rows
    // and thumbnails of a jump to the middle are on screen.
    std::vector<qint64> stepNs;
    QScrollBar *bar = page.listView()->verticalScrollBar();
    for (int i = 0; i < ScrollSteps; ++i) {
        const qint64 s0 = monotonicNs();
        bar->setValue(bar->value() + bar->pageStep());
        page.listView()->viewport()->repaint();
        QCoreApplication::processEvents();
        stepNs.push_back(monotonicNs() - s0);
    }
    const qint64 j0 = monotonicNs();
    page.listView()->scrollTo(page.model()->index(PageMoments / 2),
                              QAbstractItemView::PositionAtTop);
    const double jumpRowsMs = waitFor(page.listView(), MomentListModel::LoadedRole, j0);
    const double jumpThumbnailsMs = waitFor(page.listView(), Qt::DecorationRole, j0);

    std::printf("page: %d moments in the index (made in %.0f ms), platform %s\n", PageMoments,
                fillMs, BenchSupport::platformName());
    std::printf("  bare window first paint          %.1f ms\n", bareMs);
    std::printf("  list question (reader thread)    head %.1f ms, whole %.1f ms\n", headMs, idsMs);
    std::printf("  page construction               %.1f ms\n", constructMs);
    std::printf("  page first paint with its rows   %.1f ms\n", firstPaintMs);
    std::printf("  visible rows loaded              %.1f ms\n", rowsMs);
    std::printf("  visible thumbnails               %.1f ms\n", thumbnailsMs);
    std::printf("  scroll step (GUI thread)         median %.2f ms  max %.2f ms over %d pages\n",
                ms(median(stepNs)), ms(*std::max_element(stepNs.begin(), stepNs.end())),
                ScrollSteps);
    std::printf("  jump to the middle: rows %.1f ms, thumbnails %.1f ms\n", jumpRowsMs,
                jumpThumbnailsMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int seconds = 30;
    QStringList parts;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--seconds") && i + 1 < args.size())
            seconds = args.at(++i).toInt();
        else
            parts << args.at(i);
    }
    if (parts.isEmpty())
        parts =
            QStringList{QStringLiteral("verdict"), QStringLiteral("burst"), QStringLiteral("page")};
    if (parts.contains(QLatin1String("verdict")))
        benchVerdict();
    if (parts.contains(QLatin1String("burst")))
        benchBurst(seconds);
    if (parts.contains(QLatin1String("page")))
        benchPage();
    return 0;
}
