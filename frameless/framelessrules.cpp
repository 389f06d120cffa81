#include "framelessrules.h"

#include <QtGlobal>

namespace Frameless
{

int effectiveBand(int band)
{
    return qMax(1, band);
}

Qt::Edges edgesAt(const QRect &rect, const QPoint &pos, int band, bool horizontal, bool vertical)
{
    const int left = rect.x();
    const int top = rect.y();
    const int right = rect.x() + rect.width();
    const int bottom = rect.y() + rect.height();
    if (pos.x() < left || pos.x() >= right || pos.y() < top || pos.y() >= bottom)
        return {};

    const int b = effectiveBand(band);
    Qt::Edges edges;
    if (horizontal) {
        if (pos.x() >= right - b)
            edges |= Qt::RightEdge;
        else if (pos.x() < left + b)
            edges |= Qt::LeftEdge;
    }
    if (vertical) {
        if (pos.y() < top + b)
            edges |= Qt::TopEdge;
        else if (pos.y() >= bottom - b)
            edges |= Qt::BottomEdge;
    }
    return edges;
}

Qt::CursorShape cursorForEdges(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool topLeft = (edges & Qt::LeftEdge) && (edges & Qt::TopEdge);
        const bool bottomRight = (edges & Qt::RightEdge) && (edges & Qt::BottomEdge);
        return (topLeft || bottomRight) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal)
        return Qt::SizeHorCursor;
    if (vertical)
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

QRect resizedGeometry(const QRect &start, Qt::Edges edges, const QPoint &delta,
                      const QSize &minimum, const QSize &maximum)
{
    const int minWidth = qMax(1, minimum.width());
    const int maxWidth = qMax(minWidth, maximum.width());
    const int minHeight = qMax(1, minimum.height());
    const int maxHeight = qMax(minHeight, maximum.height());

    int left = start.x();
    int right = start.x() + start.width();
    int top = start.y();
    int bottom = start.y() + start.height();

    if (edges & Qt::LeftEdge)
        left = right - qBound(minWidth, start.width() - delta.x(), maxWidth);
    else if (edges & Qt::RightEdge)
        right = left + qBound(minWidth, start.width() + delta.x(), maxWidth);
    if (edges & Qt::TopEdge)
        top = bottom - qBound(minHeight, start.height() - delta.y(), maxHeight);
    else if (edges & Qt::BottomEdge)
        bottom = top + qBound(minHeight, start.height() + delta.y(), maxHeight);

    return QRect(left, top, right - left, bottom - top);
}

bool isDrag(const QPoint &from, const QPoint &to, int dragDistance)
{
    return (to - from).manhattanLength() >= dragDistance;
}

bool isFixedSize(const QSize &minimum, const QSize &maximum)
{
    return minimum.width() == maximum.width() && minimum.height() == maximum.height();
}

} // namespace Frameless
