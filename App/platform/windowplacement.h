#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where the console puts its windows: an auxiliary window below the button that opens it or
// centred on the window it belongs to, a main window in its normal state on a usable part of
// the screen, and every one of them inside the screen's available area (the screen without the
// panels of the desktop).
class WindowPlacement
{
public:
    enum class Anchor {
        // Below the anchor with the left edges aligned; above it when there is no room below.
        BelowAnchor,
        CentredOnAnchor
    };

    // A main window without a usable stored normal geometry gets this share of the available
    // area in each direction, centred.
    static constexpr int DefaultShareNumerator = 3;
    static constexpr int DefaultShareDenominator = 4;

    // The top-left corner of a window of the given size placed against the anchor, then moved
    // into the available area; a window larger than the area keeps its top-left corner in it.
    static QPoint position(const QRect &anchor, Anchor how, const QRect &available,
                           const QSize &size);

    // Whether a geometry can serve as a normal geometry on this area: not empty, and not
    // covering the whole area, which is what a maximised window does.
    static bool isUsableNormalGeometry(const QRect &geometry, const QRect &available);

    // The geometry a window gets in its normal state: the stored one, shrunk to the available
    // area and moved into it, or the default share of the area when the stored one is not
    // usable; never smaller than the window's minimum size.
    static QRect normalGeometry(const QRect &stored, const QRect &available, const QSize &minimum);

    // The geometry shrunk to the available area, but not below the minimum size, and moved into
    // it.
    static QRect keptInside(const QRect &geometry, const QRect &available, const QSize &minimum);

    // Gives the window, frame included, the geometry kept inside the available area of its
    // screen, never smaller than the size its contents need.
    static void keepInside(QWidget *window);

    // The available area of the screen that holds the point (the primary screen's when none).
    static QRect availableGeometryAt(const QPoint &globalPos);

    // Moves the window against the anchor widget (in its global geometry), on the anchor's
    // screen.
    static void place(QWidget *window, const QWidget *anchor, Anchor how);
};
