#include "ui/common/headbutton.h"

HeadButton::HeadButton(const QIcon &icon, const QString &text, QWidget *parent)
    : QPushButton(icon, text, parent)
{
}

HeadButton::HeadButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

HeadButton::HeadButton(QWidget *parent) : QPushButton(parent) {}

void HeadButton::enterEvent(QEvent *event)
{
    Q_UNUSED(event)
    emit signalEnter();
}

void HeadButton::leaveEvent(QEvent *event)
{
    Q_UNUSED(event)
    emit signalLeave();
}
