#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "../../testsupport.h"
#include "../../video/videotestsupport.h"
#include "ui/camera/cameradisplay.h"
#include "ui/video/videoview.h"
#include "video/videochannel.h"

namespace
{

using Stream = VideoChannel::Stream;
using State = VideoChannel::State;
using namespace VideoTest;

constexpr int PlayTimeoutMs = 60000;
const QString Password = QStringLiteral("s3cret");

ChannelConfig::Channel config(const QString &source)
{
    ChannelConfig::Channel channel;
    channel.number = 1;
    channel.source = source;
    return channel;
}

QStringList g_messages;
QtMessageHandler g_previous = nullptr;

void keepMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    g_messages << text;
    g_previous(type, context, text);
}

// "name = #rrggbb" of a theme's palette file.
QColor paletteColour(const QString &theme, const QString &name)
{
    QFile file(QStringLiteral(TEST_SOURCE_DIR "/../data/style/%1.palette").arg(theme));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QColor();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.section(QLatin1Char('='), 0, 0).trimmed() == name)
            return QColor(line.section(QLatin1Char('='), 1).trimmed());
    }
    return QColor();
}

} // namespace

class tst_VideoView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void fitted_data();
    void fitted();
    void pictureDarkenedUnlessLive_data();
    void pictureDarkenedUnlessLive();
    void plateInThemeColours_data();
    void plateInThemeColours();
    void passwordNeverLoggedOrShown_data();
    void passwordNeverLoggedOrShown();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RtspServer> m_guarded;
};

void tst_VideoView::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_guarded.reset(new RtspServer({QStringLiteral("--size"), QStringLiteral("320x180"),
                                    QStringLiteral("--user"), QStringLiteral("op:") + Password}));
    QVERIFY(m_guarded->start());
}

void tst_VideoView::cleanupTestCase()
{
    m_guarded.reset();
    GstRuntime::shutdown();
}

void tst_VideoView::cleanup()
{
    qApp->setStyleSheet(QString());
}

void tst_VideoView::fitted_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("sameShape") << QSize(640, 360) << QRect(0, 0, 320, 180) << QRect(0, 0, 320, 180);
    QTest::newRow("widerPicture") << QSize(1920, 1080) << QRect(0, 0, 400, 300)
                                  << QRect(0, 37, 400, 225);
    QTest::newRow("tallerPicture")
        << QSize(480, 640) << QRect(0, 0, 400, 300) << QRect(87, 0, 225, 300);
    QTest::newRow("oddMarginToTheRight")
        << QSize(100, 100) << QRect(0, 0, 101, 100) << QRect(0, 0, 100, 100);
    QTest::newRow("noPicture") << QSize(0, 0) << QRect(0, 0, 400, 300) << QRect();
    QTest::newRow("noArea") << QSize(640, 360) << QRect(0, 0, 0, 300) << QRect();
}

void tst_VideoView::fitted()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, area);
    QFETCH(QRect, expected);

    QCOMPARE(VideoView::fitted(picture, area), expected);
}

void tst_VideoView::pictureDarkenedUnlessLive_data()
{
    QTest::addColumn<bool>("stopServer");
    QTest::addColumn<double>("lowest");
    QTest::addColumn<double>("highest");

    QTest::newRow("playing") << false << 0.8 << 1.0;
    QTest::newRow("lost") << true << 0.0 << 0.5;
}

void tst_VideoView::pictureDarkenedUnlessLive()
{
    QFETCH(bool, stopServer);
    QFETCH(double, lowest);
    QFETCH(double, highest);

    RtspServer server({QStringLiteral("--patterns"), QStringLiteral("red")});
    QVERIFY(server.start());
    VideoChannel channel(config(server.url(1)), m_dir.path());
    VideoView view;
    view.resize(400, 300);
    view.setChannel(&channel);
    view.setStream(Stream::Grid);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE_WITH_TIMEOUT(channel.state(), State::Playing, PlayTimeoutMs);
    if (stopServer) {
        server.stop(SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(channel.state(), State::Lost, PlayTimeoutMs);
    }

    // Inside the picture, away from the plate in the middle.
    const QRect picture = view.pictureRect();
    QCOMPARE(picture, QRect(0, 37, 400, 225));
    const QImage image = view.grab().toImage();
    const QColor corner = image.pixelColor(picture.topLeft() + QPoint(6, 6));
    const double brightness = corner.valueF();
    QVERIFY2(brightness >= lowest && brightness <= highest, qPrintable(corner.name()));
    QVERIFY(corner.hueF() < 0.05 || corner.hueF() > 0.95);
    // Above and below the picture the view paints nothing of it.
    QVERIFY(!looksLike(image.pixelColor(200, 10), QColor(Qt::red)));
}

void tst_VideoView::plateInThemeColours_data()
{
    QTest::addColumn<QString>("theme");

    for (const char *theme :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"})
        QTest::newRow(theme) << QString::fromLatin1(theme);
}

void tst_VideoView::plateInThemeColours()
{
    QFETCH(QString, theme);

    QFile sheet(QStringLiteral(TEST_CONFIG_DIR "/style/%1/style.css").arg(theme));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    const QColor well = paletteColour(theme, QStringLiteral("camera_well"));
    const QColor plate = paletteColour(theme, QStringLiteral("surface"));
    const QColor alert = paletteColour(theme, QStringLiteral("danger"));
    QVERIFY(well.isValid() && plate.isValid() && alert.isValid());

    VideoChannel channel(config(QStringLiteral("ftp://127.0.0.1/a.mp4")), m_dir.path());
    CameraDisplay tile;
    tile.setObjectName(QStringLiteral("CameraDisplay"));
    tile.bindChannel(1, &channel);
    tile.setVideoStream(Stream::Grid);
    tile.resize(400, 300);
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));
    QTRY_COMPARE(channel.state(), State::Error);

    // Down the middle of the picture area: the well, then the plate.
    const QRect area(tile.videoView()->mapTo(&tile, QPoint(0, 0)), tile.videoView()->size());
    const QImage image = tile.grab().toImage();
    const int x = area.center().x();
    int y = area.top() + 2;
    while (y < area.center().y() && TestSupport::near(image.pixelColor(x, y), well, 3))
        ++y;
    QVERIFY2(TestSupport::near(image.pixelColor(x, y + 2), plate, 3),
             qPrintable(image.pixelColor(x, y + 2).name()));
    // The heading is in the theme's alarm colour.
    int alarming = 0;
    for (int py = y; py < area.center().y() + 10; ++py) {
        for (int px = area.left(); px <= area.right(); ++px)
            alarming += TestSupport::near(image.pixelColor(px, py), alert, 24);
    }
    QVERIFY(alarming > 10);
}

void tst_VideoView::passwordNeverLoggedOrShown_data()
{
    QTest::addColumn<QString>("source");

    QTest::newRow("closedPort")
        << QStringLiteral("rtsp://op:%1@127.0.0.1:%2/stream1").arg(Password).arg(closedPort());
    QTest::newRow("wrongUser") << m_guarded->url(1, QStringLiteral("guest:") + Password);
    QTest::newRow("malformed") << QStringLiteral("rtsp://op:%1@127.0.0.1:99999/x").arg(Password);
}

void tst_VideoView::passwordNeverLoggedOrShown()
{
    QFETCH(QString, source);

    g_messages.clear();
    g_previous = qInstallMessageHandler(keepMessage);
    {
        VideoChannel channel(config(source), m_dir.path());
        VideoView view;
        view.setChannel(&channel);
        view.setStream(Stream::Grid);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE_WITH_TIMEOUT(channel.state(), State::Error, PlayTimeoutMs);
        const QString shown = view.plateLines().join(QLatin1Char('\n'));
        QVERIFY2(!shown.contains(Password) && shown.contains(QLatin1String("***")),
                 qPrintable(shown));
    }
    qInstallMessageHandler(g_previous);
    QVERIFY(!g_messages.isEmpty());
    for (const QString &message : qAsConst(g_messages))
        QVERIFY2(!message.contains(Password), qPrintable(message));
}

QTEST_MAIN(tst_VideoView)
#include "tst_videoview.moc"
