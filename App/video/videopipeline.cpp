#include "videopipeline.h"

#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <chrono>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include "video/frameslot.h"
#include "video/gstruntime.h"

namespace
{

constexpr guint64 UsPerMs = 1000;
const char *const RawVideo = "video/x-raw";
// 32-bit RGB as QImage::Format_RGB32 holds it in memory on a little-endian machine.
const char *const ShownCaps = "video/x-raw,format=BGRx";

// A decoded frame whose memory a QImage borrows: mapped, and its buffer held, until the image
// lets go. The sample goes back at once: the sink reuses it.
struct MappedFrame {
    GstVideoFrame frame;
};

void releaseFrame(void *info)
{
    auto *mapped = static_cast<MappedFrame *>(info);
    gst_video_frame_unmap(&mapped->frame);
    delete mapped;
}

bool hasProperty(GstElement *element, const char *name)
{
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

QString textOf(const gchar *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

VideoProblem problemOf(const GError *error, const QString &debug, VideoSource::Kind kind)
{
    if (error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
        case GST_RESOURCE_ERROR_NOT_FOUND:
            return kind == VideoSource::Kind::File ? VideoProblem::FileMissing
                                                   : VideoProblem::NotFound;
        case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
            return VideoProblem::Unauthorized;
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_WRITE:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
            return VideoProblem::Unreachable;
        case GST_RESOURCE_ERROR_READ:
        case GST_RESOURCE_ERROR_WRITE: {
            // The reason is in the details: "Timeout while waiting for server response".
            const QString message = (textOf(error->message) + debug).toLower();
            return message.contains(QLatin1String("timeout")) ||
                           message.contains(QLatin1String("timed out"))
                       ? VideoProblem::NoAnswer
                       : VideoProblem::StreamFailed;
        }
        default:
            return VideoProblem::StreamFailed;
        }
    }
    if ((error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN) ||
        (error->domain == GST_STREAM_ERROR &&
         (error->code == GST_STREAM_ERROR_CODEC_NOT_FOUND ||
          error->code == GST_STREAM_ERROR_TYPE_NOT_FOUND ||
          error->code == GST_STREAM_ERROR_WRONG_TYPE || error->code == GST_STREAM_ERROR_DECODE)))
        return VideoProblem::Undecodable;
    return VideoProblem::StreamFailed;
}

std::atomic<int> g_pipelinesAlive{0};

void pipelineFreed(gpointer, GObject *)
{
    --g_pipelinesAlive;
}

} // namespace

struct VideoPipeline::Callbacks {
    // A decoded video pad of the decoding bin goes to the scaler; anything else (sound,
    // subtitles) stays unlinked.
    static void padAdded(GstElement *, GstPad *pad, gpointer data)
    {
        auto *self = static_cast<VideoPipeline *>(data);
        GstCaps *caps = gst_pad_get_current_caps(pad);
        if (!caps)
            caps = gst_pad_query_caps(pad, nullptr);
        const GstStructure *structure = gst_caps_get_structure(caps, 0);
        const bool video = structure && gst_structure_has_name(structure, RawVideo);
        gst_caps_unref(caps);
        if (!video)
            return;
        GstPad *sink = gst_element_get_static_pad(self->m_entry, "sink");
        if (!gst_pad_is_linked(sink))
            gst_pad_link(pad, sink);
        gst_object_unref(sink);
    }

    // The source element that the decoding bin chose for the URI.
    static void sourceSetup(GstElement *, GstElement *source, gpointer)
    {
        if (hasProperty(source, "protocols")) {
            // RTSP: interleaved over the TCP connection, so that a server that goes away is an
            // error at once and packets are never lost on a busy network.
            gst_util_set_object_arg(G_OBJECT(source), "protocols", "tcp");
            g_object_set(source, "latency", guint(VideoPipeline::RtspLatencyMs), "tcp-timeout",
                         guint64(VideoPipeline::NetworkTimeoutMs) * UsPerMs, nullptr);
        } else if (hasProperty(source, "is-live") && hasProperty(source, "timeout")) {
            // HTTP: an MJPEG camera is a live source.
            g_object_set(source, "is-live", TRUE, "timeout",
                         guint(VideoPipeline::NetworkTimeoutMs / 1000), nullptr);
        }
    }

    // An MJPEG stream is one picture after another in a multipart answer whose parts never
    // change their type; told so, the demuxer lets the decoding bin show its pad at once.
    static void deepElementAdded(GstBin *, GstBin *, GstElement *element, gpointer)
    {
        GstElementFactory *factory = gst_element_get_factory(element);
        if (factory && g_strcmp0(GST_OBJECT_NAME(factory), "multipartdemux") == 0)
            g_object_set(element, "single-stream", TRUE, nullptr);
    }

    static GstFlowReturn newSample(GstAppSink *sink, gpointer data)
    {
        auto *self = static_cast<VideoPipeline *>(data);
        GstSample *sample = gst_app_sink_pull_sample(sink);
        if (!sample)
            return GST_FLOW_OK;
        GstVideoInfo info;
        if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) {
            gst_sample_unref(sample);
            return GST_FLOW_OK;
        }
        auto *mapped = new MappedFrame{};
        const bool ok =
            gst_video_frame_map(&mapped->frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ);
        gst_sample_unref(sample);
        if (!ok) {
            delete mapped;
            return GST_FLOW_OK;
        }
        const int width = GST_VIDEO_FRAME_WIDTH(&mapped->frame);
        const int height = GST_VIDEO_FRAME_HEIGHT(&mapped->frame);
        VideoFrame frame;
        frame.image =
            QImage(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0)), width,
                   height, GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0), QImage::Format_RGB32,
                   releaseFrame, mapped);
        frame.decodedNs = VideoPipeline::monotonicNs();
        self->m_slot->offer(std::move(frame));
        return GST_FLOW_OK;
    }

    // Runs on the thread that posts the message; every message is dropped here, so none
    // collects on a bus that nobody reads. A dropped message is the handler's to free: it holds
    // its source element, and a state change of the pipeline's own would keep the whole
    // pipeline, its sockets and its threads' buffers alive.
    static GstBusSyncReply busMessage(GstBus *, GstMessage *message, gpointer data)
    {
        auto *self = static_cast<VideoPipeline *>(data);
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR: {
            GError *error = nullptr;
            gchar *debug = nullptr;
            gst_message_parse_error(message, &error, &debug);
            const QString details = textOf(debug);
            const QString detail = QStringLiteral("%1 (%2)").arg(textOf(error->message), details);
            self->m_slot->fail(problemOf(error, details, self->m_source.kind()), detail);
            g_error_free(error);
            g_free(debug);
            break;
        }
        case GST_MESSAGE_EOS:
            if (self->m_source.kind() == VideoSource::Kind::File) {
                std::shared_ptr<VideoPipeline> pipeline = self->shared_from_this();
                GstRuntime::run([pipeline] { pipeline->rewind(); });
            } else {
                self->m_slot->fail(VideoProblem::EndOfStream, QString());
            }
            break;
        default:
            break;
        }
        gst_message_unref(message);
        return GST_BUS_DROP;
    }
};

VideoPipeline::VideoPipeline(const VideoSource &source, std::shared_ptr<FrameSlot> slot)
    : m_source(source), m_slot(std::move(slot))
{
}

std::shared_ptr<VideoPipeline> VideoPipeline::create(const VideoSource &source,
                                                     std::shared_ptr<FrameSlot> slot)
{
    return std::shared_ptr<VideoPipeline>(new VideoPipeline(source, std::move(slot)));
}

VideoPipeline::~VideoPipeline()
{
    // The last reference goes with the task that closed it; a pipeline never started has none.
    Q_ASSERT(!m_pipeline);
}

int VideoPipeline::pipelinesAlive()
{
    return g_pipelinesAlive;
}

qint64 VideoPipeline::monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void VideoPipeline::start()
{
    std::shared_ptr<VideoPipeline> self = shared_from_this();
    GstRuntime::run([self] { self->open(); });
}

void VideoPipeline::stop()
{
    std::shared_ptr<VideoPipeline> self = shared_from_this();
    GstRuntime::run([self] { self->close(); });
}

bool VideoPipeline::build(QString *missing)
{
    auto make = [missing](const char *factory) {
        GstElement *element = gst_element_factory_make(factory, nullptr);
        if (!element && missing->isEmpty())
            *missing = QString::fromLatin1(factory);
        return element;
    };
    GstElement *source = nullptr;
    GstElement *shape = nullptr;
    if (m_source.kind() == VideoSource::Kind::Test) {
        source = make("videotestsrc");
        shape = make("capsfilter");
    } else {
        source = make("uridecodebin");
    }
    // Scaled down to the size shown before the conversion to RGB, both in the decoder's own
    // format: far cheaper than converting every pixel and leaving the scaling to the painter.
    m_entry = make("videoscale");
    GstElement *sizeFilter = make("capsfilter");
    GstElement *convert = make("videoconvert");
    GstElement *format = make("capsfilter");
    GstElement *sink = make("appsink");
    m_pipeline = gst_pipeline_new(nullptr);
    ++g_pipelinesAlive;
    g_object_weak_ref(G_OBJECT(m_pipeline), &pipelineFreed, nullptr);

    const QList<GstElement *> elements{source, shape, m_entry, sizeFilter, convert, format, sink};
    if (!missing->isEmpty()) {
        for (GstElement *element : elements) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        m_entry = nullptr;
        return false;
    }
    for (GstElement *element : elements) {
        if (element)
            gst_bin_add(GST_BIN(m_pipeline), element);
    }
    {
        QMutexLocker locker(&m_sizeMutex);
        m_sizeFilter = sizeFilter;
        applySize();
    }

    GstCaps *shownCaps = gst_caps_from_string(ShownCaps);
    g_object_set(format, "caps", shownCaps, nullptr);
    gst_caps_unref(shownCaps);
    // Only the newest frame waits; a file is shown at its own pace, a live source at once.
    g_object_set(sink, "max-buffers", 1u, "drop", TRUE, "enable-last-sample", FALSE, "sync",
                 m_source.kind() == VideoSource::Kind::File ? TRUE : FALSE, nullptr);
    GstAppSinkCallbacks callbacks = {};
    callbacks.new_sample = &Callbacks::newSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    gst_element_link_many(m_entry, sizeFilter, convert, format, sink, nullptr);

    if (m_source.kind() == VideoSource::Kind::Test) {
        gst_util_set_object_arg(G_OBJECT(source), "pattern",
                                m_source.location().toUtf8().constData());
        g_object_set(source, "is-live", TRUE, nullptr);
        GstCaps *testCaps = gst_caps_new_simple(RawVideo, "width", G_TYPE_INT, TestWidth, "height",
                                                G_TYPE_INT, TestHeight, "framerate",
                                                GST_TYPE_FRACTION, TestFramesPerSecond, 1, nullptr);
        g_object_set(shape, "caps", testCaps, nullptr);
        gst_caps_unref(testCaps);
        gst_element_link_many(source, shape, m_entry, nullptr);
        return true;
    }

    const QByteArray uri = m_source.kind() == VideoSource::Kind::File
                               ? QUrl::fromLocalFile(m_source.location()).toEncoded()
                               : m_source.location().toUtf8();
    // Decoding stops at raw video: a sound track is left undecoded and unlinked.
    GstCaps *decoded = gst_caps_from_string(RawVideo);
    g_object_set(source, "uri", uri.constData(), "caps", decoded, nullptr);
    gst_caps_unref(decoded);
    g_signal_connect(source, "pad-added", G_CALLBACK(&Callbacks::padAdded), this);
    g_signal_connect(source, "source-setup", G_CALLBACK(&Callbacks::sourceSetup), this);
    g_signal_connect(m_pipeline, "deep-element-added", G_CALLBACK(&Callbacks::deepElementAdded),
                     this);
    return true;
}

void VideoPipeline::setSize(const QSize &size)
{
    QMutexLocker locker(&m_sizeMutex);
    if (m_size == size)
        return;
    m_size = size;
    applySize();
}

void VideoPipeline::applySize()
{
    if (!m_sizeFilter)
        return;
    // Square pixels, as large as fits the size asked for with the picture's shape kept (the
    // scaler fixes the rest); never larger than the source.
    GstCaps *caps =
        gst_caps_new_simple(RawVideo, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    if (m_size.isValid() && !m_size.isEmpty())
        gst_caps_set_simple(caps, "width", GST_TYPE_INT_RANGE, 1, m_size.width(), "height",
                            GST_TYPE_INT_RANGE, 1, m_size.height(), nullptr);
    g_object_set(m_sizeFilter, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

void VideoPipeline::open()
{
    QMutexLocker locker(&m_mutex);
    if (m_stopped)
        return;
    GstRuntime::ensureInitialised();
    if (m_source.kind() == VideoSource::Kind::File && !QFileInfo::exists(m_source.location())) {
        m_slot->fail(VideoProblem::FileMissing, m_source.location());
        return;
    }
    QString missing;
    if (!build(&missing)) {
        if (m_pipeline)
            gst_object_unref(m_pipeline);
        m_pipeline = nullptr;
        m_slot->fail(VideoProblem::Undecodable,
                     QStringLiteral("the GStreamer element %1 is not installed").arg(missing));
        return;
    }
    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, &Callbacks::busMessage, this, nullptr);
    gst_object_unref(bus);
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        m_slot->fail(VideoProblem::StreamFailed, QStringLiteral("the pipeline did not start"));
}

void VideoPipeline::close()
{
    QMutexLocker locker(&m_mutex);
    m_stopped = true;
    if (!m_pipeline)
        return;
    // Streaming threads end here; messages they post on the way out still find this object.
    {
        QMutexLocker sizeLocker(&m_sizeMutex);
        m_sizeFilter = nullptr;
    }
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
    m_entry = nullptr;
}

void VideoPipeline::rewind()
{
    QMutexLocker locker(&m_mutex);
    if (m_stopped || !m_pipeline)
        return;
    if (!gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME,
                                 GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0))
        m_slot->fail(VideoProblem::EndOfStream, QStringLiteral("the file cannot be played again"));
}
