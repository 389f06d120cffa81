#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

// The decisions of frameless moving and resizing, kept free of widgets so that they can be
// checked without a window.
namespace Frameless
{

// A resize band is never thinner than one pixel.
int effectiveBand(int band);

// The window edges whose resize band holds pos. The bands lie inside rect: [left, left + band)
// and [right - band, right) with right = x + width, and likewise vertically. Where the bands
// overlap (rect narrower than two bands) the right band wins over the left and the top band over
// the bottom. An axis that may not be resized gives no edge, and neither does a point outside
// rect.
Qt::Edges edgesAt(const QRect &rect, const QPoint &pos, int band, bool horizontal, bool vertical);

// The pointer shape that announces a resize from the given edges; the arrow for none.
Qt::CursorShape cursorForEdges(Qt::Edges edges);

// The geometry of start dragged by delta from the given edges, its size kept within
// [minimum, maximum] (and at least one pixel); the opposite edges stay where they were.
QRect resizedGeometry(const QRect &start, Qt::Edges edges, const QPoint &delta,
                      const QSize &minimum, const QSize &maximum);

// Whether the pointer, pressed at from and now at to, has travelled far enough to drag.
bool isDrag(const QPoint &from, const QPoint &to, int dragDistance);

// Whether a window with these size limits can change neither its width nor its height.
bool isFixedSize(const QSize &minimum, const QSize &maximum);

} // namespace Frameless
