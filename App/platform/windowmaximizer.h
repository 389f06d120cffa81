#pragma once

#include <QString>

class QWidget;

// Shows a top-level window maximised or full screen. Maximising is the window manager's work: in a
// kiosk X session without one nothing acts on the request, and the window would open at its normal
// size in the corner. There the window is given the screen's available geometry instead.
class WindowMaximizer
{
public:
    enum class Method { AskWindowManager, FillScreen };

    static Method method(const QString &platformName, bool windowManagerRunning);

    // Whether a window manager runs on the X display; true on every other platform, where the
    // platform itself maximises.
    static bool windowManagerRunning();

    static void showMaximized(QWidget *window);
    // The same for full screen: the window manager's full-screen state, or the whole screen
    // (not only its available part) without one.
    static void showFullScreen(QWidget *window);
};
