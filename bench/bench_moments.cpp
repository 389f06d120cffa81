// NG moments: what keeping them costs the console.
//   verdict  GUI-thread time per NG verdict: a station message through the station model to the
//            recorder, which takes the channel's frame and hands it to the store, against the
//            same message through a model without the recorder; and the recorder alone against a
//            queued call that hands over nothing, in the same run.
//   burst    100 NG verdicts a second for --seconds (30) over the camera wall of sixteen playing
//            channels: moments kept and dropped, the time from verdict to kept, and the frames
//            each tile painted against the same wall without verdicts.
//   page     the moments page over an index of 100,000 moments: time to its first paint with
//            rows, to the visible rows and thumbnails, and per scroll step, against the first
//            paint of a bare window.
// The channels are GStreamer's test pictures, decoded in the process like a camera's stream.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QListView>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "moments/momentarchive.h"
#include "moments/momentindex.h"
#include "moments/momentlistmodel.h"
#include "moments/momentreader.h"
#include "moments/momentrecorder.h"
#include "moments/momentstore.h"
#include "moments/videoframesource.h"
#include "station/stationmodel.h"
#include "ui/camera/camerapanel.h"
#include "ui/moments/momentspage.h"
#include "ui/video/videoview.h"
#include "video/gstruntime.h"
#include "video/videochannelset.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::percentile;
using BenchSupport::spinFor;

namespace
{

constexpr int Channels = 16;
constexpr int FrameWidth = 640;
constexpr int FrameHeight = 360;
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

// The console's camera wall over sixteen generated channels (test:ball, 640x360 at 25 frames a
// second, decoded by GStreamer), counting for each tile the frames decoded and painted.
class LiveWall
{
public:
    LiveWall()
    {
        QVector<ChannelConfig::Channel> config;
        for (int n = 1; n <= Channels; ++n) {
            ChannelConfig::Channel c;
            c.number = n;
            c.source = QStringLiteral("test:ball");
            c.name = QStringLiteral("bench %1").arg(n);
            config << c;
        }
        m_channels = new VideoChannelSet(config, QDir::tempPath());
        m_wall = new CameraPanel;
        m_wall->setChannels(m_channels);
        m_wall->setActive(true);
        m_wall->resize(1280, 720);
        const QList<VideoView *> views = m_wall->findChildren<VideoView *>();
        m_tiles.resize(views.size());
        for (int i = 0; i < views.size(); ++i) {
            QObject::connect(views.at(i), &VideoView::framePainted,
                             [this, i](quint64 serial, qint64) {
                                 Tile &t = m_tiles[i];
                                 if (t.first == 0)
                                     t.first = serial;
                                 t.last = serial;
                                 ++t.painted;
                             });
        }
        m_wall->show();
    }
    ~LiveWall()
    {
        delete m_wall;
        delete m_channels;
    }

    const VideoChannelSet *channels() const { return m_channels; }
    // Until every tile has painted a frame.
    bool waitPlaying()
    {
        QElapsedTimer limit;
        limit.start();
        while (limit.elapsed() < DrainWaitMs) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (std::all_of(m_tiles.begin(), m_tiles.end(),
                            [](const Tile &t) { return t.painted > 0; }))
                return m_tiles.size() == Channels;
        }
        return false;
    }
    void resetCounts()
    {
        for (Tile &t : m_tiles)
            t = Tile();
    }
    // Per tile and second: frames decoded (by the serials painted) and painted.
    void rates(double seconds, double *decoded, double *painted) const
    {
        qint64 d = 0;
        qint64 p = 0;
        for (const Tile &t : m_tiles) {
            d += t.painted > 0 ? qint64(t.last - t.first + 1) : 0;
            p += t.painted;
        }
        *decoded = d / seconds / Channels;
        *painted = p / seconds / Channels;
    }

private:
    struct Tile {
        quint64 first = 0;
        quint64 last = 0;
        qint64 painted = 0;
    };
    VideoChannelSet *m_channels = nullptr;
    CameraPanel *m_wall = nullptr;
    QVector<Tile> m_tiles;
};

MomentSettings unlimited()
{
    MomentSettings settings;
    settings.maxBytes = NoBudget;
    return settings;
}

// A station's NG verdict for the camera as the broker delivers it, with its time.
QByteArray ngPayload(qint64 timeMs, const char *reason)
{
    return QByteArrayLiteral("{\"verdict\":\"NG\",\"reason\":\"") + reason +
           QByteArrayLiteral("\",\"time\":\"") +
           QDateTime::fromMSecsSinceEpoch(timeMs).toString(Qt::ISODateWithMs).toUtf8() +
           QByteArrayLiteral("\"}");
}

QString verdictTopic(int camera)
{
    return QStringLiteral("bench/camera/%1/verdict").arg(camera);
}

void benchVerdict(LiveWall &wall)
{
    QTemporaryDir dir;
    MomentStore store(dir.path(), unlimited());
    // Started with the console, as the archive does, not by the first verdict.
    store.start();
    MomentRecorder recorder(&store);
    VideoFrameSource frames(wall.channels());
    recorder.setFrameSource(&frames);
    // The console's road: the station model takes the message and hands the NG verdict to the
    // recorder. The baseline is the same model without the recorder.
    StationModel withMoments(QStringLiteral("bench"));
    QObject::connect(&withMoments, &StationModel::verdictReceived, &recorder,
                     &MomentRecorder::takeVerdict);
    StationModel bare(QStringLiteral("bench"));
    int kept = 0;
    QObject::connect(&store, &MomentStore::kept, [&kept] { ++kept; });
    std::vector<qint64> messageNs, bareNs, recorderNs, queuedNs;
    QObject sink;
    // In rounds of 50, each written before the next, so that the queue never fills; a
    // millisecond apart, so that none repeats the camera's previous verdict.
    const qint64 firstMs = QDateTime::currentMSecsSinceEpoch() - 2 * VerdictRuns;
    for (int done = 0; done < VerdictRuns;) {
        for (int i = 0; i < 50; ++i, ++done) {
            const int camera = done % Channels + 1;
            const QString topic = verdictTopic(camera);
            const QByteArray payload = ngPayload(firstMs + done, "bench");
            const qint64 t0 = monotonicNs();
            withMoments.handleMessage(topic, payload);
            const qint64 t1 = monotonicNs();
            bare.handleMessage(topic, payload);
            const qint64 t2 = monotonicNs();
            messageNs.push_back(t1 - t0);
            bareNs.push_back(t2 - t1);
        }
        while (kept < done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    // The recorder alone, against a queued call that hands over nothing.
    for (int done = 0; done < VerdictRuns;) {
        for (int i = 0; i < 50; ++i, ++done) {
            const QDateTime time = QDateTime::fromMSecsSinceEpoch(firstMs + VerdictRuns + done);
            const qint64 t0 = monotonicNs();
            recorder.takeVerdict(done % Channels + 1, StationMessage::Ng, time,
                                 QStringLiteral("bench"));
            const qint64 t1 = monotonicNs();
            QMetaObject::invokeMethod(
                &sink, [] {}, Qt::QueuedConnection);
            const qint64 t2 = monotonicNs();
            recorderNs.push_back(t1 - t0);
            queuedNs.push_back(t2 - t1);
        }
        while (kept < VerdictRuns + done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    const auto line = [](const char *what, const std::vector<qint64> &ns) {
        std::printf("  %-34s median %.4f ms  p99 %.4f ms  max %.4f ms\n", what, ms(median(ns)),
                    ms(percentile(ns, 0.99)), ms(*std::max_element(ns.begin(), ns.end())));
    };
    std::printf("verdict: GUI thread per NG verdict, sixteen playing 640x360 channels, %d "
                "verdicts each\n",
                VerdictRuns);
    line("station message, moment kept", messageNs);
    line("station message alone (baseline)", bareNs);
    line("recorder alone", recorderNs);
    line("queued call (baseline)", queuedNs);
}

void benchBurst(LiveWall &wall, int seconds)
{
    double bareDecoded = 0;
    double barePainted = 0;
    wall.resetCounts();
    spinFor(seconds * 1000);
    wall.rates(seconds, &bareDecoded, &barePainted);

    QTemporaryDir dir;
    MomentStore store(dir.path(), MomentSettings());
    store.start();
    MomentRecorder recorder(&store);
    VideoFrameSource frames(wall.channels());
    recorder.setFrameSource(&frames);
    std::vector<double> lagMs;
    int kept = 0;
    int withPicture = 0;
    QObject::connect(&store, &MomentStore::kept, [&](const Moment &m) {
        ++kept;
        withPicture += m.hasPicture() ? 1 : 0;
        lagMs.push_back(QDateTime::currentMSecsSinceEpoch() - m.timeMs);
    });
    StationModel station(QStringLiteral("bench"));
    QObject::connect(&station, &StationModel::verdictReceived, &recorder,
                     &MomentRecorder::takeVerdict);
    int submitted = 0;
    std::vector<qint64> verdictNs;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const QString topic = verdictTopic(submitted % Channels + 1);
        const QByteArray payload = ngPayload(QDateTime::currentMSecsSinceEpoch(), "burst");
        const qint64 t0 = monotonicNs();
        station.handleMessage(topic, payload);
        verdictNs.push_back(monotonicNs() - t0);
        ++submitted;
    });
    wall.resetCounts();
    tick.start(1000 / VerdictsPerSecond);
    spinFor(seconds * 1000);
    tick.stop();
    double busyDecoded = 0;
    double busyPainted = 0;
    wall.rates(seconds, &busyDecoded, &busyPainted);
    QElapsedTimer drain;
    drain.start();
    while (kept < submitted && drain.elapsed() < DrainWaitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    qint64 bytes = 0;
    for (const QFileInfo &day : QDir(dir.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo &file : QDir(day.filePath()).entryInfoList(QDir::Files))
            bytes += file.size();

    std::printf("burst: %d NG verdicts a second for %d s over the wall of sixteen playing "
                "channels\n",
                VerdictsPerSecond, seconds);
    std::printf("  verdicts %d  kept %d (%d with a picture)  dropped %d  pictures %.1f MB "
                "(budget %d MB)\n",
                submitted, kept, withPicture, submitted - kept, bytes / 1048576.0,
                MomentSettings::DefaultMaxMegabytes);
    if (!lagMs.empty())
        std::printf("  verdict to kept      median %.1f ms  p99 %.1f ms\n", median(lagMs),
                    percentile(lagMs, 0.99));
    std::printf("  GUI per verdict      median %.4f ms  p99 %.4f ms\n", ms(median(verdictNs)),
                ms(percentile(verdictNs, 0.99)));
    std::printf("  per tile a second: decoded %.1f, painted %.1f with the burst; decoded %.1f, "
                "painted %.1f without\n",
                busyDecoded, busyPainted, bareDecoded, barePainted);
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
    QTemporaryDir appDir;
    SetupConfig::instance()->setAppDir(appDir.path());
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
    if (parts.contains(QLatin1String("verdict")) || parts.contains(QLatin1String("burst"))) {
        LiveWall wall;
        if (!wall.waitPlaying()) {
            std::printf("the wall's channels did not play\n");
            return 1;
        }
        if (parts.contains(QLatin1String("verdict")))
            benchVerdict(wall);
        if (parts.contains(QLatin1String("burst")))
            benchBurst(wall, seconds);
    }
    GstRuntime::shutdown();
    if (parts.contains(QLatin1String("page")))
        benchPage();
    return 0;
}
