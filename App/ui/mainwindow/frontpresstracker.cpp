#include "frontpresstracker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

FrontPressTracker::FrontPressTracker(QWidget *window) : QObject(window), m_window(window)
{
    // The main window's native window sees every press once, before the widget under the
    // pointer, and is replaced when the window is recreated: watched anew whenever the widget
    // shows or gets a new native window.
    window->installEventFilter(this);
    watchNativeWindow();
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &FrontPressTracker::focusChanged);
}

bool FrontPressTracker::wasInFront() const
{
    return m_window->isActiveWindow() && !m_pressBroughtForward;
}

bool FrontPressTracker::belongsToConsole(const QWindow *window) const
{
    for (; window; window = window->transientParent()) {
        if (window == m_window->windowHandle())
            return true;
    }
    return false;
}

void FrontPressTracker::focusChanged(QWindow *focus)
{
    if (focus && focus == m_window->windowHandle())
        m_broughtForward = !belongsToConsole(m_focus);
    m_focus = focus;
}

void FrontPressTracker::watchNativeWindow()
{
    // Installing again on the same window only moves this filter to the front.
    if (QWindow *native = m_window->windowHandle())
        native->installEventFilter(this);
}

bool FrontPressTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)
            watchNativeWindow();
        return false;
    }
    if (!watched->isWindowType() || watched != m_window->windowHandle())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressBroughtForward = m_broughtForward;
        m_broughtForward = false;
        break;
    case QEvent::KeyPress:
        // Typing into it, the operator sees the console. The pointer's moves tell nothing: the
        // press that brings the console forward may come after moves of its own.
        m_broughtForward = false;
        m_pressBroughtForward = false;
        break;
    default:
        break;
    }
    return false;
}
