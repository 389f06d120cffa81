#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the console puts its windows: an auxiliary window below the button that opens it or
// centred on the window it belongs to, inside the screen's available area (the screen without
// the panels of the desktop).
class WindowPlacement
{
public:
    enum class Anchor {
        // Below the anchor with the left edges aligned; above it when there is no room below.
        BelowAnchor,
        CentredOnAnchor
    };

    // The top-left corner of a window of the given size placed against the anchor, then moved
    // into the available area; a window larger than the area keeps its top-left corner in it.
    static QPoint position(const QRect &anchor, Anchor how, const QRect &available,
                           const QSize &size);

    // The available area of the screen that holds the point (the primary screen's when none).
    static QRect availableGeometryAt(const QPoint &globalPos);

    // Moves the window against the anchor widget (in its global geometry), on the anchor's
    // screen.
    static void place(QWidget *window, const QWidget *anchor, Anchor how);
};
