#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace
{

// The start of a span of the given length moved into [low, high); a span longer than the range
// starts at low.
int clampedStart(int start, int length, int low, int high)
{
    return qMax(low, qMin(start, high - length));
}

} // namespace

QPoint WindowPlacement::position(const QRect &anchor, Anchor how, const QRect &available,
                                 const QSize &size)
{
    QPoint wanted;
    if (how == Anchor::CentredOnAnchor) {
        wanted = QPoint(anchor.x() + (anchor.width() - size.width()) / 2,
                        anchor.y() + (anchor.height() - size.height()) / 2);
    } else {
        const int below = anchor.y() + anchor.height();
        const bool roomBelow = below + size.height() <= available.y() + available.height();
        const bool roomAbove = anchor.y() - size.height() >= available.y();
        wanted = QPoint(anchor.x(), roomBelow || !roomAbove ? below : anchor.y() - size.height());
    }
    return QPoint(
        clampedStart(wanted.x(), size.width(), available.x(), available.x() + available.width()),
        clampedStart(wanted.y(), size.height(), available.y(), available.y() + available.height()));
}

bool WindowPlacement::isUsableNormalGeometry(const QRect &geometry, const QRect &available)
{
    return geometry.isValid() && !geometry.contains(available);
}

QRect WindowPlacement::normalGeometry(const QRect &stored, const QRect &available,
                                      const QSize &minimum)
{
    QRect wanted = stored;
    if (!isUsableNormalGeometry(stored, available)) {
        const QSize share(available.width() * DefaultShareNumerator / DefaultShareDenominator,
                          available.height() * DefaultShareNumerator / DefaultShareDenominator);
        wanted = QRect(QPoint(), share);
        wanted.moveCenter(available.center());
    }
    return keptInside(wanted, available, minimum);
}

QRect WindowPlacement::keptInside(const QRect &geometry, const QRect &available,
                                  const QSize &minimum)
{
    const QSize size = geometry.size().boundedTo(available.size()).expandedTo(minimum);
    return QRect(QPoint(clampedStart(geometry.x(), size.width(), available.x(),
                                     available.x() + available.width()),
                        clampedStart(geometry.y(), size.height(), available.y(),
                                     available.y() + available.height())),
                 size);
}

void WindowPlacement::keepInside(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    // The frame's share of the size: what the window manager draws around the window.
    const QSize decoration = frame.size() - window->size();
    const QRect inside = keptInside(frame, availableGeometryAt(frame.center()),
                                    window->minimumSizeHint() + decoration);
    if (inside == frame)
        return;
    window->resize(inside.size() - decoration);
    window->move(inside.topLeft());
}

QRect WindowPlacement::availableGeometryAt(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void WindowPlacement::place(QWidget *window, const QWidget *anchor, Anchor how)
{
    // A window never shown takes its size from its contents when it is first shown: take it now.
    window->ensurePolished();
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect anchorGeometry(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    window->move(position(anchorGeometry, how, availableGeometryAt(anchorGeometry.center()),
                          window->frameGeometry().size()));
}
