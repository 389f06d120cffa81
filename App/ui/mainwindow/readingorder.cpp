#include "readingorder.h"

#include <QWidget>

#include <algorithm>

QList<int> ReadingOrder::sorted(const QList<QRect> &rects)
{
    QList<int> byTop;
    for (int i = 0; i < rects.size(); ++i)
        byTop << i;
    std::stable_sort(byTop.begin(), byTop.end(), [&rects](int a, int b) {
        return rects.at(a).top() != rects.at(b).top() ? rects.at(a).top() < rects.at(b).top()
                                                      : rects.at(a).left() < rects.at(b).left();
    });

    auto byLeft = [&rects](int a, int b) { return rects.at(a).left() < rects.at(b).left(); };
    int rowStart = 0;
    for (int k = 0; k < byTop.size(); ++k) {
        const QRect &first = rects.at(byTop.at(rowStart));
        const int centre = rects.at(byTop.at(k)).center().y();
        if (k > rowStart && (centre < first.top() || centre > first.bottom())) {
            std::stable_sort(byTop.begin() + rowStart, byTop.begin() + k, byLeft);
            rowStart = k;
        }
    }
    std::stable_sort(byTop.begin() + rowStart, byTop.end(), byLeft);
    return byTop;
}

QList<QWidget *> ReadingOrder::chain(const QWidget *window, const QList<QWidget *> &groups)
{
    QList<QWidget *> result;
    for (QWidget *group : groups) {
        if (!group || group->window() != window || !group->isVisible())
            continue;
        QList<QWidget *> controls;
        QList<QRect> rects;
        QList<QWidget *> candidates = group->findChildren<QWidget *>();
        candidates.prepend(group);
        for (QWidget *widget : qAsConst(candidates)) {
            // A control that hands its focus to another is reached through that one.
            if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() ||
                !widget->isVisible() || !widget->isEnabled() || widget->window() != window ||
                widget->visibleRegion().isEmpty())
                continue;
            controls << widget;
            rects << QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
        }
        const QList<int> order = sorted(rects);
        for (int index : order)
            result << controls.at(index);
    }
    return result;
}

QWidget *ReadingOrder::step(const QList<QWidget *> &chain, const QWidget *current, bool forward)
{
    if (chain.isEmpty())
        return nullptr;
    const int at = chain.indexOf(const_cast<QWidget *>(current));
    if (at < 0)
        return forward ? chain.first() : chain.last();
    const int count = chain.size();
    return chain.at((at + (forward ? 1 : count - 1)) % count);
}
