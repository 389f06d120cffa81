#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

// One move or resize of a top-level window by the pointer. The window system does it when it
// can (QWindow::startSystemMove / startSystemResize); where it refuses, for example with no
// window manager running, the drag is followed by hand: update() places the window for every
// pointer position until end().
class WindowDrag
{
public:
    WindowDrag() = default;

    // Starts moving (no edges) or resizing the window from edges; the pointer, with its button
    // held, is at globalPos.
    void begin(QWidget *window, Qt::Edges edges, const QPoint &globalPos);
    void update(const QPoint &globalPos);
    void end();

    // A press at pressPos on a caption turns into a move once the pointer, now at globalPos, has
    // travelled the drag distance: then the window is moved (unless there is none, or it is
    // maximised or full screen) and true is returned; before that, false.
    bool beginMoveWhenDragged(QWidget *window, const QPoint &pressPos, const QPoint &globalPos);

    // A drag followed by hand is in progress.
    bool isActive() const;

    // Lets tests take the hand-made path even where the window system could drag.
    static void setSystemDragEnabled(bool enabled);
    static bool isSystemDragEnabled();

private:
    Q_DISABLE_COPY(WindowDrag)

    QPointer<QWidget> m_window;
    Qt::Edges m_edges;
    QPoint m_startPointer;
    QPoint m_startPos;
    QRect m_startGeometry;
};
