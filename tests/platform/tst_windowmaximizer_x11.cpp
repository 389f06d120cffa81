#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "../testsupport.h"
#include "../x11support.h"

// The real console on a display of its own without a window manager, as in a kiosk session:
// its main window covers every pixel of the screen. The screen has 100 dpi, where the scale
// between device and device-independent pixels is fractional.
class tst_WindowMaximizerX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void kioskWindowCoversTheScreen_data();
    void kioskWindowCoversTheScreen();

private:
    QTemporaryDir m_dir;
    QString m_console;
};

namespace
{

// A colour no theme uses: where it shows, the root window shows.
constexpr uint32_t RootMarker = 0xff00ff;
// Generous: a sanitizer build on a busy machine.
constexpr int ConsoleTimeoutMs = 60000;
// From the window's mapping to its first frame on screen.
constexpr int PaintTimeoutMs = 10000;

// A connection to the bare display, which paints its root window in the marker colour and
// counts the marker's pixels on the screen.
class RootProbe
{
public:
    explicit RootProbe(const QString &display)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const uint32_t background = RootMarker;
        xcb_change_window_attributes(m_connection, m_screen->root, XCB_CW_BACK_PIXEL, &background);
        xcb_clear_area(m_connection, 0, m_screen->root, 0, 0, 0, 0);
        xcb_flush(m_connection);
    }
    ~RootProbe() { xcb_disconnect(m_connection); }

    bool isValid() const { return m_screen != nullptr; }
    QSize size() const { return QSize(m_screen->width_in_pixels, m_screen->height_in_pixels); }

    int markerPixels() const
    {
        const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
            xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                              m_screen->root, 0, 0, m_screen->width_in_pixels,
                                              m_screen->height_in_pixels, ~0u),
                                nullptr),
            &std::free);
        if (!image)
            return -1;
        const auto *pixels = reinterpret_cast<const uint32_t *>(xcb_get_image_data(image.get()));
        const int count = xcb_get_image_data_length(image.get()) / 4;
        int markers = 0;
        for (int i = 0; i < count; ++i)
            markers += (pixels[i] & 0xffffff) == RootMarker;
        return markers;
    }

private:
    xcb_connection_t *m_connection;
    xcb_screen_t *m_screen = nullptr;
};

// The console's main window as xwininfo tells it on the display, or an invalid rectangle.
QRect consoleWindow(const QProcessEnvironment &environment)
{
    QProcess xwininfo;
    xwininfo.setProcessEnvironment(environment);
    xwininfo.start(QStringLiteral("xwininfo"), {"-name", "windowName"});
    xwininfo.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+).*"
                                          "Absolute upper-left Y:\\s+(-?\\d+).*"
                                          "Width:\\s+(\\d+).*Height:\\s+(\\d+).*IsViewable"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(out);
    return m.hasMatch() ? QRect(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                                m.captured(4).toInt())
                        : QRect();
}

} // namespace

void tst_WindowMaximizerX11::initTestCase()
{
    // A copy of the console with a config folder of its own, so the build's file is not touched.
    QVERIFY(m_dir.isValid());
    const QString config =
        QFileInfo(QStringLiteral(CONSOLE_EXECUTABLE)).absolutePath() + QStringLiteral("/config");
    m_console = TestSupport::copyProgram(QStringLiteral(CONSOLE_EXECUTABLE), config, m_dir.path());
    QVERIFY(!m_console.isEmpty());
}

void tst_WindowMaximizerX11::kioskWindowCoversTheScreen_data()
{
    QTest::addColumn<QString>("screen");

    // Regression: 1599 of the 1600 columns were covered; the last showed the root window.
    QTest::newRow("scaleRoundsShort") << QStringLiteral("1600x900");
    QTest::newRow("scaleRoundsExactly") << QStringLiteral("1280x1024");
}

void tst_WindowMaximizerX11::kioskWindowCoversTheScreen()
{
    QFETCH(QString, screen);

    QProcess xvfb;
    auto stopXvfb = qScopeGuard([&xvfb] {
        xvfb.terminate();
        xvfb.waitForFinished();
    });
    const QString display = X11Support::startBareXvfb(xvfb, screen);
    if (display.isEmpty())
        QSKIP("Xvfb cannot be started for a display without a window manager");
    const RootProbe probe(display);
    QVERIFY(probe.isValid());
    QCOMPARE(probe.markerPixels(), probe.size().width() * probe.size().height());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    // The console's socket and lock files go to the test's folder.
    environment.insert(QStringLiteral("TMPDIR"), m_dir.path());
    QProcess console;
    console.setProcessEnvironment(environment);
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    console.start(m_console, {});
    QVERIFY(console.waitForStarted());
    auto stopConsole = qScopeGuard([&console] {
        console.terminate();
        console.waitForFinished(30000);
    });

    QRect window;
    QTRY_VERIFY_WITH_TIMEOUT((window = consoleWindow(environment)).isValid(), ConsoleTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(probe.markerPixels(), 0, PaintTimeoutMs);
    // The window covers the screen, with at most one spare device pixel beyond its right and
    // bottom edges.
    const QRect all(QPoint(0, 0), probe.size());
    QVERIFY2(window.contains(all), qPrintable(QStringLiteral("window %1,%2 %3x%4")
                                                  .arg(window.x())
                                                  .arg(window.y())
                                                  .arg(window.width())
                                                  .arg(window.height())));
    QVERIFY(window.width() - all.width() <= 1 && window.height() - all.height() <= 1);
}

QTEST_GUILESS_MAIN(tst_WindowMaximizerX11)
#include "tst_windowmaximizer_x11.moc"
