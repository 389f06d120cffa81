#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "video/videochannel.h"
#include "video/videopipeline.h"
#include "videotestsupport.h"

Q_DECLARE_METATYPE(VideoProblem)
Q_DECLARE_METATYPE(VideoChannel::Stream)

namespace
{

using Stream = VideoChannel::Stream;
using State = VideoChannel::State;
using namespace VideoTest;

// Generous: the sanitizer build on a loaded machine decodes slowly; nothing here is timed.
constexpr int PlayTimeoutMs = 60000;
const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

ChannelConfig::Channel config(const QString &source, const QString &grid = QString())
{
    ChannelConfig::Channel channel;
    channel.number = 1;
    channel.source = source;
    channel.gridSource = grid;
    return channel;
}

bool playsColour(const VideoChannel &channel, const QColor &colour)
{
    return channel.state() == State::Playing && looksLike(centreOf(channel.frame().image), colour);
}

} // namespace

class tst_VideoChannel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void playsEachKindOfSource_data();
    void playsEachKindOfSource();
    void lostAndBackWithoutRestart_data();
    void lostAndBackWithoutRestart();
    void hiddenStopsAfterGraceAndResumes_data();
    void hiddenStopsAfterGraceAndResumes();
    void playsTheStreamMostWanted_data();
    void playsTheStreamMostWanted();
    void framesFitTheSizeShown_data();
    void framesFitTheSizeShown();
    void badSourceShowsErrorOthersPlay_data();
    void badSourceShowsErrorOthersPlay();
    void closedPipelinesAreFreed_data();
    void closedPipelinesAreFreed();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RtspServer> m_server;
    std::unique_ptr<RtspServer> m_guarded;
    QString m_file;
};

void tst_VideoChannel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server.reset(new RtspServer({QStringLiteral("--streams"), QStringLiteral("2"),
                                   QStringLiteral("--patterns"), QStringLiteral("red,green"),
                                   QStringLiteral("--size"), QStringLiteral("320x180")}));
    QVERIFY(m_server->start());
    m_guarded.reset(new RtspServer({QStringLiteral("--patterns"), QStringLiteral("red"),
                                    QStringLiteral("--size"), QStringLiteral("320x180"),
                                    QStringLiteral("--user"), QStringLiteral("op:s3cret")}));
    QVERIFY(m_guarded->start());
    // A red clip of ten frames, which plays on in a loop.
    m_file = m_dir.filePath(QStringLiteral("red clip.mp4"));
    QCOMPARE(QProcess::execute(QStringLiteral("gst-launch-1.0"),
                               {QStringLiteral("-q"), QStringLiteral("videotestsrc"),
                                QStringLiteral("num-buffers=10"), QStringLiteral("pattern=red"),
                                QStringLiteral("!"), QStringLiteral("x264enc"), QStringLiteral("!"),
                                QStringLiteral("mp4mux"), QStringLiteral("!"),
                                QStringLiteral("filesink"), QStringLiteral("location=") + m_file}),
             0);
}

void tst_VideoChannel::cleanupTestCase()
{
    m_server.reset();
    m_guarded.reset();
    GstRuntime::shutdown();
}

void tst_VideoChannel::playsEachKindOfSource_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<quint64>("frames");

    QTest::newRow("rtsp") << m_server->url(1) << quint64(1);
    QTest::newRow("rtspWithPassword")
        << m_guarded->url(1, QStringLiteral("op:s3cret")) << quint64(1);
    QTest::newRow("testPattern") << "test:red" << quint64(1);
    QTest::newRow("mjpegOverHttp") << "" << quint64(1);
    // More frames than the clip holds: it started again by itself.
    QTest::newRow("fileInALoop") << m_file << quint64(25);
    QTest::newRow("fileUrl") << QUrl::fromLocalFile(m_file).toString() << quint64(1);
}

void tst_VideoChannel::playsEachKindOfSource()
{
    QFETCH(QString, source);
    QFETCH(quint64, frames);

    MjpegServer mjpeg(Red);
    VideoChannel channel(config(source.isEmpty() ? mjpeg.url() : source), m_dir.path());
    QSignalSpy states(&channel, &VideoChannel::stateChanged);
    QObject viewer;
    channel.setDemand(&viewer, Stream::Grid);
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Red), PlayTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(channel.frame().serial >= frames, PlayTimeoutMs);
    // Connecting, then Playing, and nothing since.
    QCOMPARE(states.count(), 2);
    QCOMPARE(channel.state(), State::Playing);
}

void tst_VideoChannel::lostAndBackWithoutRestart_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("silent");

    // Killed: the connection breaks. Ended: the server says goodbye. Frozen: the connection
    // stays and nothing comes through it, which only the lack of frames tells.
    QTest::newRow("serverKilled") << int(SIGKILL) << false;
    QTest::newRow("serverEnded") << int(SIGTERM) << false;
    QTest::newRow("serverFrozen") << int(SIGSTOP) << true;
}

void tst_VideoChannel::lostAndBackWithoutRestart()
{
    QFETCH(int, signal);
    QFETCH(bool, silent);

    RtspServer server({QStringLiteral("--patterns"), QStringLiteral("green"),
                       QStringLiteral("--size"), QStringLiteral("320x180")});
    QVERIFY(server.start());
    VideoChannel channel(config(server.url(1)), m_dir.path());
    QObject viewer;
    channel.setDemand(&viewer, Stream::Main);
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Green), PlayTimeoutMs);

    server.stop(signal);
    QTRY_COMPARE_WITH_TIMEOUT(channel.state(), State::Lost, PlayTimeoutMs);
    if (silent)
        QCOMPARE(channel.problem(), VideoProblem::NoFrames);
    // The last picture stays, and its age is told.
    QVERIFY(looksLike(centreOf(channel.frame().image), Green));
    QVERIFY(channel.msSinceLastFrame() >= 0);

    if (silent)
        server.resume();
    else
        QVERIFY(server.start());
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Green), PlayTimeoutMs);
    const quint64 serial = channel.frame().serial;
    QTRY_VERIFY_WITH_TIMEOUT(channel.frame().serial > serial, PlayTimeoutMs);
}

void tst_VideoChannel::hiddenStopsAfterGraceAndResumes_data()
{
    QTest::addColumn<bool>("waitOutGrace");

    QTest::newRow("quickToggleKeepsPlaying") << false;
    QTest::newRow("longHideStops") << true;
}

void tst_VideoChannel::hiddenStopsAfterGraceAndResumes()
{
    QFETCH(bool, waitOutGrace);

    VideoChannel channel(config(m_server->url(1)), m_dir.path());
    QObject viewer;
    channel.setDemand(&viewer, Stream::Grid);
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Red), PlayTimeoutMs);

    QSignalSpy states(&channel, &VideoChannel::stateChanged);
    channel.setDemand(&viewer, Stream::None);
    if (waitOutGrace) {
        QTRY_VERIFY_WITH_TIMEOUT(!channel.isRunning(), PlayTimeoutMs);
        QCOMPARE(channel.state(), State::Off);
        QVERIFY(channel.frame().isNull());
    }
    channel.setDemand(&viewer, Stream::Grid);
    if (!waitOutGrace) {
        // Still the same pipeline: its frames count on.
        const quint64 serial = channel.frame().serial;
        QTRY_VERIFY_WITH_TIMEOUT(channel.frame().serial > serial + 5, PlayTimeoutMs);
        QCOMPARE(states.count(), 0);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Red), PlayTimeoutMs);
}

void tst_VideoChannel::playsTheStreamMostWanted_data()
{
    QTest::addColumn<QList<Stream>>("demands");
    QTest::addColumn<QColor>("colour");

    // Source is the red stream, GridSource the green one.
    QTest::newRow("grid") << QList<Stream>{Stream::Grid} << Green;
    QTest::newRow("main") << QList<Stream>{Stream::Main} << Red;
    QTest::newRow("gridAndMain") << QList<Stream>{Stream::Grid, Stream::Main} << Red;
    QTest::newRow("mainLetGo") << QList<Stream>{Stream::Grid, Stream::Main, Stream::None} << Green;
}

void tst_VideoChannel::playsTheStreamMostWanted()
{
    QFETCH(QList<Stream>, demands);
    QFETCH(QColor, colour);

    VideoChannel channel(config(m_server->url(1), m_server->url(2)), m_dir.path());
    // One viewer each; the last one in the row's list changes its mind last.
    QObject first;
    QObject second;
    channel.setDemand(&first, demands.value(0));
    for (int i = 1; i < demands.size(); ++i)
        channel.setDemand(&second, demands.at(i));
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, colour), PlayTimeoutMs);
}

void tst_VideoChannel::framesFitTheSizeShown_data()
{
    QTest::addColumn<QList<QSize>>("viewers");
    QTest::addColumn<QSize>("frame");

    // A generated picture of 640x360.
    QTest::newRow("sourceSize") << QList<QSize>{QSize()} << QSize(640, 360);
    QTest::newRow("smallerTile") << QList<QSize>{QSize(320, 240)} << QSize(320, 180);
    QTest::newRow("tallerTile") << QList<QSize>{QSize(160, 400)} << QSize(160, 90);
    // Within the box that holds both views' sizes.
    QTest::newRow("twoViewers") << QList<QSize>{QSize(320, 240), QSize(480, 100)}
                                << QSize(427, 240);
    QTest::newRow("neverLarger") << QList<QSize>{QSize(1920, 1080)} << QSize(640, 360);
}

void tst_VideoChannel::framesFitTheSizeShown()
{
    QFETCH(QList<QSize>, viewers);
    QFETCH(QSize, frame);

    VideoChannel channel(config(QStringLiteral("test:red")), m_dir.path());
    std::vector<std::unique_ptr<QObject>> keys;
    for (const QSize &size : viewers) {
        keys.push_back(std::make_unique<QObject>());
        channel.setDemand(keys.back().get(), Stream::Grid, size);
    }
    QTRY_COMPARE_WITH_TIMEOUT(channel.frame().image.size(), frame, PlayTimeoutMs);
}

void tst_VideoChannel::badSourceShowsErrorOthersPlay_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<VideoProblem>("problem");
    QTest::addColumn<bool>("retried");

    QTest::newRow("unknownScheme")
        << "ftp://127.0.0.1/a.mp4" << VideoProblem::UnknownScheme << false;
    QTest::newRow("malformedUrl") << "rtsp://127.0.0.1:99999/x" << VideoProblem::MalformedUrl
                                  << false;
    QTest::newRow("unknownPattern") << "test:plaid" << VideoProblem::UnknownPattern << false;
    QTest::newRow("garbage") << "#!%&=?" << VideoProblem::FileMissing << true;
    QTest::newRow("missingFile") << m_dir.filePath(QStringLiteral("gone.mp4"))
                                 << VideoProblem::FileMissing << true;
    QTest::newRow("closedPort") << QStringLiteral("rtsp://127.0.0.1:%1/stream1").arg(closedPort())
                                << VideoProblem::Unreachable << true;
    QTest::newRow("silentServer") << "" << VideoProblem::NoAnswer << true;
    QTest::newRow("noSuchStream") << m_server->url(9) << VideoProblem::NotFound << true;
    QTest::newRow("wrongPassword")
        << m_guarded->url(1, QStringLiteral("op:wrong")) << VideoProblem::Unauthorized << true;
    QTest::newRow("notAVideo") << QString::fromUtf8(TEST_SOURCE_DIR "/video/tst_videochannel.cpp")
                               << VideoProblem::Undecodable << true;
}

void tst_VideoChannel::badSourceShowsErrorOthersPlay()
{
    QFETCH(QString, source);
    QFETCH(VideoProblem, problem);
    QFETCH(bool, retried);

    SilentServer silent;
    VideoChannel good(config(QStringLiteral("test:green")), m_dir.path());
    VideoChannel bad(config(source.isEmpty() ? silent.url() : source), m_dir.path());
    QObject viewer;
    good.setDemand(&viewer, Stream::Grid);
    bad.setDemand(&viewer, Stream::Grid);

    QTRY_COMPARE_WITH_TIMEOUT(bad.state(), State::Error, PlayTimeoutMs);
    QCOMPARE(bad.problem(), problem);
    QVERIFY(bad.frame().isNull());
    QCOMPARE(bad.msUntilRetry() >= 0, retried);
    QTRY_VERIFY_WITH_TIMEOUT(playsColour(good, Green), PlayTimeoutMs);
    const quint64 serial = good.frame().serial;
    QTRY_VERIFY_WITH_TIMEOUT(good.frame().serial > serial + 5, PlayTimeoutMs);
    QCOMPARE(good.state(), State::Playing);
}

void tst_VideoChannel::closedPipelinesAreFreed_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<State>("reached");
    QTest::addColumn<int>("restarts");

    // An empty source: the server of the test, killed and started again between attempts.
    QTest::newRow("testPattern") << "test:red" << State::Playing << 0;
    QTest::newRow("rtsp") << "" << State::Playing << 0;
    QTest::newRow("rtspServerRestarted") << "" << State::Playing << 3;
    QTest::newRow("rtspNeverConnected")
        << QStringLiteral("rtsp://127.0.0.1:%1/stream1").arg(closedPort()) << State::Error << 0;
}

void tst_VideoChannel::closedPipelinesAreFreed()
{
    QFETCH(QString, source);
    QFETCH(State, reached);
    QFETCH(int, restarts);

    RtspServer server({QStringLiteral("--patterns"), QStringLiteral("red"),
                       QStringLiteral("--size"), QStringLiteral("320x180")});
    QVERIFY(server.start());
    GstRuntime::waitForIdle();
    const int before = VideoPipeline::pipelinesAlive();
    {
        VideoChannel channel(config(source.isEmpty() ? server.url(1) : source), m_dir.path());
        QObject viewer;
        channel.setDemand(&viewer, Stream::Grid);
        QTRY_COMPARE_WITH_TIMEOUT(channel.state(), reached, PlayTimeoutMs);
        for (int restart = 0; restart < restarts; ++restart) {
            server.stop(SIGKILL);
            QTRY_COMPARE_WITH_TIMEOUT(channel.state(), State::Lost, PlayTimeoutMs);
            QVERIFY(server.start());
            QTRY_VERIFY_WITH_TIMEOUT(playsColour(channel, Red), PlayTimeoutMs);
        }
    }
    // Every attempt, the abandoned ones too, is torn down on the control threads.
    GstRuntime::waitForIdle();
    QCOMPARE(VideoPipeline::pipelinesAlive(), before);
}

QTEST_MAIN(tst_VideoChannel)
#include "tst_videochannel.moc"
