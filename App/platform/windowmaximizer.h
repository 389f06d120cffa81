#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Shows a top-level window maximised or full screen. Maximising is the window manager's work: in a
// kiosk X session without one nothing acts on the request, and the window would open at its normal
// size in the corner. There the window is given the whole screen instead.
class WindowMaximizer
{
public:
    enum class Method { AskWindowManager, FillScreen };

    static Method method(const QString &platformName, bool windowManagerRunning);

    // The geometry, in device-independent pixels, of a window that covers a screen of the
    // given device-pixel size, at the screen's scale. The window system gets the window's
    // position and size each scaled and rounded, so at a fractional scale the screen's own
    // rounded size can fall a device pixel short (at 100 dpi, 1534 make 1599 of 1600 columns):
    // the window then takes one more, and its spare device pixel lies off the screen.
    static QRect fillGeometry(const QRect &screen, qreal devicePixelRatio, const QSize &deviceSize);

    // Whether a window manager runs on the X display; true on every other platform, where the
    // platform itself maximises.
    static bool windowManagerRunning();

    static void showMaximized(QWidget *window);
    // The same for full screen: the window manager's full-screen state, or the whole screen
    // (not only its available part) without one.
    static void showFullScreen(QWidget *window);
};
