#include "windowraiser.h"

#include <QApplication>
#include <QPointer>
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
    const Qt::WindowStates state = frontState(window->windowState());
    if (state != window->windowState())
        window->setWindowState(state);
    window->show();
    window->raise();
    window->activateWindow();

    // Window managers with focus-stealing prevention may refuse the activation; the user then
    // at least sees the taskbar entry ask for attention.
    QPointer<QWidget> guarded(window);
    QTimer::singleShot(ActivationCheckMs, window, [guarded] {
        if (guarded && !guarded->isActiveWindow())
            QApplication::alert(guarded);
    });
}
