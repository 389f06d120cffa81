#include "ui/common/hoverreset.h"

#include <QCoreApplication>
#include <QCursor>
#include <QHoverEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

void HoverReset::afterMenu(QMenu *menu, QWidget *root)
{
    QPointer<QWidget> guarded(root);
    QObject::connect(menu, &QMenu::aboutToHide, root, [guarded] {
        // Once the menu is gone and Qt has told the widget under the pointer that it entered.
        QTimer::singleShot(0, guarded, [guarded] {
            if (guarded)
                clearStale(guarded);
        });
    });
}

void HoverReset::clearStale(QWidget *root)
{
    const QPoint pointer = QCursor::pos();
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : qAsConst(widgets)) {
        if (!widget->underMouse() || widget->rect().contains(widget->mapFromGlobal(pointer)))
            continue;
        widget->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &leave);
        if (widget->testAttribute(Qt::WA_Hover)) {
            const QPoint outside = widget->mapFromGlobal(pointer);
            QHoverEvent hoverLeave(QEvent::HoverLeave, outside, outside);
            QCoreApplication::sendEvent(widget, &hoverLeave);
        }
        widget->update();
    }
}
