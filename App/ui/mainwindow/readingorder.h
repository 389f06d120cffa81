#pragma once

#include <QList>
#include <QRect>

class QWidget;

// The order in which Tab visits a window's controls: group after group (the title bar, the page,
// the side panel), each group in reading order. A control counts while Tab could land on it where
// the operator sees it: shown, enabled, taking focus by Tab and not clipped away entirely (the
// page stack parks the page it slid away from just outside itself).
class ReadingOrder
{
public:
    // The indices of the rectangles in reading order: rows from top to bottom, each row from left
    // to right. A rectangle whose vertical centre lies within the first rectangle of a row
    // belongs to that row, so that a button a few pixels lower than its neighbours stays in
    // their row.
    static QList<int> sorted(const QList<QRect> &rects);

    // The controls of the groups inside the window that Tab can reach now, in visiting order.
    static QList<QWidget *> chain(const QWidget *window, const QList<QWidget *> &groups);

    // The control after (forward) or before current in the chain, going round at the ends; the
    // first (or last) one when current is not in it; null for an empty chain.
    static QWidget *step(const QList<QWidget *> &chain, const QWidget *current, bool forward);

private:
    ReadingOrder() = delete;
};
