#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

class QWidget;

// Paints the pictures that changed together, at most once a tick. Sixteen streams that are not
// in step would otherwise ask for a paint pass, and a flush to the window system, for almost
// every frame; gathered, one pass paints every picture that changed within the tick.
class RepaintClock : public QObject
{
    Q_OBJECT

public:
    // Well under a frame interval (40 ms at 25 fps): every frame is still painted.
    static constexpr int TickMs = 10;

    // The clock of the application, made on first use and gone with the application.
    static RepaintClock *instance();

    // Updates that part of the widget at the next tick, together with what was asked before.
    void request(QWidget *widget, const QRect &rect);

private:
    explicit RepaintClock(QObject *parent);
    Q_DISABLE_COPY(RepaintClock)

    void tick();

    QTimer m_timer;
    struct Pending {
        QPointer<QWidget> widget;
        QRect rect;
    };
    QList<Pending> m_pending;
};
