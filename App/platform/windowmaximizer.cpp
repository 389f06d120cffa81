#include "windowmaximizer.h"

#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <QWidget>
#include <QtMath>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace
{

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window that a window property names, or none.
xcb_window_t windowProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1),
            nullptr),
        &std::free);
    if (!reply || reply->type != XCB_ATOM_WINDOW || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<xcb_window_t *>(xcb_get_property_value(reply.get()));
}

// A window manager owns the selection "WM_S<screen>" (ICCCM), or names a window of its own on
// the root window that names itself again (EWMH); either is enough, since some window managers
// keep only one of the two. A property left by a crashed one names a window that is gone.
bool x11WindowManagerRunning()
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    const auto disconnect = qScopeGuard([connection] { xcb_disconnect(connection); });
    if (xcb_connection_has_error(connection))
        return true;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return true;
    const xcb_window_t root = screens.data->root;

    const xcb_atom_t selection = internAtom(connection, "WM_S" + QByteArray::number(screenNumber));
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &std::free);
    if (owner && owner->owner != XCB_WINDOW_NONE)
        return true;

    const xcb_atom_t check = internAtom(connection, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t child = windowProperty(connection, root, check);
    return child != XCB_WINDOW_NONE && windowProperty(connection, child, check) == child;
}

// The size of the X screen's root window in device pixels, or an empty size.
QSize x11RootSize()
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    const auto disconnect = qScopeGuard([connection] { xcb_disconnect(connection); });
    if (xcb_connection_has_error(connection))
        return QSize();
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    return screens.rem ? QSize(screens.data->width_in_pixels, screens.data->height_in_pixels)
                       : QSize();
}

// The screen's size in device pixels. With one screen it is the root window's; otherwise the
// scaled size, rounded up.
QSize deviceSize(const QScreen *screen)
{
    const QSize root = QGuiApplication::screens().size() == 1 ? x11RootSize() : QSize();
    if (!root.isEmpty())
        return root;
    const qreal ratio = screen->devicePixelRatio();
    return QSize(qCeil(screen->geometry().width() * ratio),
                 qCeil(screen->geometry().height() * ratio));
}

} // namespace

QRect WindowMaximizer::fillGeometry(const QRect &screen, qreal devicePixelRatio,
                                    const QSize &deviceSize)
{
    // The screen's top-left corner is the same point in both kinds of pixels; a window's
    // distance from it and its size are each scaled and rounded.
    QSize size = screen.size();
    while (qRound(size.width() * devicePixelRatio) < deviceSize.width())
        size.rwidth() += 1;
    while (qRound(size.height() * devicePixelRatio) < deviceSize.height())
        size.rheight() += 1;
    return QRect(screen.topLeft(), size);
}

WindowMaximizer::Method WindowMaximizer::method(const QString &platformName,
                                                bool windowManagerRunning)
{
    return platformName == QLatin1String("xcb") && !windowManagerRunning ? Method::FillScreen
                                                                         : Method::AskWindowManager;
}

bool WindowMaximizer::windowManagerRunning()
{
    return QGuiApplication::platformName() != QLatin1String("xcb") || x11WindowManagerRunning();
}

void WindowMaximizer::showMaximized(QWidget *window)
{
    if (method(QGuiApplication::platformName(), windowManagerRunning()) ==
        Method::AskWindowManager) {
        window->showMaximized();
        return;
    }
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    window->setGeometry(
        fillGeometry(screen->geometry(), screen->devicePixelRatio(), deviceSize(screen)));
    window->show();
}

void WindowMaximizer::showFullScreen(QWidget *window)
{
    if (method(QGuiApplication::platformName(), windowManagerRunning()) ==
        Method::AskWindowManager) {
        window->showFullScreen();
        return;
    }
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    window->setGeometry(
        fillGeometry(screen->geometry(), screen->devicePixelRatio(), deviceSize(screen)));
    window->show();
    window->raise();
}
