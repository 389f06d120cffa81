#include "windowraiser.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

Qt::WindowStates WindowRaiser::frontState(Qt::WindowStates current)
{
    return current & ~Qt::WindowMinimized;
}

void WindowRaiser::bringToFront(QWidget *window)
{
    if (!window)
        return;
    window = window->window();
    window->setWindowState(frontState(window->windowState()));
    window->show();
    window->raise();
    window->activateWindow();

    // Window managers with focus-stealing prevention may refuse the activation; the user then
    // at least sees the taskbar entry ask for attention. The window is the timer's context, so
    // the check never runs after it is gone.
    QTimer::singleShot(ActivationCheckMs, window, [window] {
        if (!window->isActiveWindow())
            QApplication::alert(window);
    });
}
