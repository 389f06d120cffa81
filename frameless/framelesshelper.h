#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

#include "windowdrag.h"

class QMouseEvent;
class QWidget;
class QWindow;

// What lies under a point of a frameless window: resize edges, the caption, or neither.
struct FramelessHit {
    Qt::Edges edges;
    bool caption = false;
};

// Gives a frameless top-level window the frame's work: resizing from a band along its edges
// (with the matching pointer shapes) and moving or maximising from a caption area. It watches
// the window's native QWindow, so it sees a press before the child widget under the pointer does;
// a press on an edge or on the caption never reaches that child. The owner decides what is where
// through the hit test, which gets the pointer's global position.
class FramelessHelper : public QObject
{
    Q_OBJECT

public:
    using HitTest = std::function<FramelessHit(const QPoint &globalPos)>;

    FramelessHelper(QWidget *window, HitTest hitTest);

    // The hit test of a window that resizes from a band of the given width along its edges,
    // except along an axis whose size is fixed, and has no caption of its own.
    static HitTest edgeHitTest(const QWidget *window, int band);

    // A double click on the caption maximises the window, and restores it again.
    void setCaptionDoubleClickMaximizes(bool maximizes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(FramelessHelper)

    enum class State { Idle, CaptionPressed };

    void attach();
    FramelessHit hitAt(const QPoint &globalPos) const;
    bool handleMouse(QMouseEvent *event);
    void showCursorFor(Qt::Edges edges, const QPoint &localPos);

    QWidget *m_window;
    HitTest m_hitTest;
    QPointer<QWindow> m_handle;
    WindowDrag m_drag;
    State m_state = State::Idle;
    QPoint m_pressPos;
    bool m_cursorShown = false;
    bool m_doubleClickMaximizes = false;
};
