#include "framelesshelper.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "framelessrules.h"

FramelessHelper::HitTest FramelessHelper::edgeHitTest(const QWidget *window, int band)
{
    return [window, band](const QPoint &globalPos) {
        FramelessHit hit;
        hit.edges =
            Frameless::edgesAt(QRect(window->mapToGlobal(QPoint(0, 0)), window->size()), globalPos,
                               band, window->minimumWidth() != window->maximumWidth(),
                               window->minimumHeight() != window->maximumHeight());
        return hit;
    };
}

FramelessHelper::FramelessHelper(QWidget *window, HitTest hitTest)
    : QObject(window), m_window(window), m_hitTest(std::move(hitTest))
{
    m_window->installEventFilter(this);
    attach();
}

void FramelessHelper::setCaptionDoubleClickMaximizes(bool maximizes)
{
    m_doubleClickMaximizes = maximizes;
}

// The native window is replaced whenever the window flags change, so follow it.
void FramelessHelper::attach()
{
    QWindow *handle = m_window->windowHandle();
    if (handle == m_handle)
        return;
    if (m_handle)
        m_handle->removeEventFilter(this);
    m_handle = handle;
    m_drag.end();
    m_state = State::Idle;
    m_cursorShown = false;
    if (m_handle)
        m_handle->installEventFilter(this);
}

FramelessHit FramelessHelper::hitAt(const QPoint &globalPos) const
{
    FramelessHit hit = m_hitTest ? m_hitTest(globalPos) : FramelessHit();
    // A maximised or full-screen window has no frame to pull at.
    if (m_window->windowState() &
        (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        hit.edges = {};
    return hit;
}

bool FramelessHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WinIdChange:
            attach();
            break;
        default:
            break;
        }
        return false;
    }
    if (!m_handle || watched != m_handle)
        return false;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return handleMouse(static_cast<QMouseEvent *>(event));
    case QEvent::Leave:
        m_cursorShown = false;
        return false;
    default:
        return false;
    }
}

bool FramelessHelper::handleMouse(QMouseEvent *event)
{
    const QPoint global = event->globalPos();
    const bool leftHeld = event->buttons() & Qt::LeftButton;

    switch (event->type()) {
    case QEvent::MouseMove:
        if (m_drag.isActive()) {
            if (leftHeld)
                m_drag.update(global);
            else
                m_drag.end();
            return true;
        }
        if (m_state == State::CaptionPressed) {
            if (!leftHeld) {
                m_state = State::Idle;
                return false;
            }
            if (m_drag.beginMoveWhenDragged(m_window, m_pressPos, global))
                m_state = State::Idle;
            return true;
        }
        if (event->buttons() == Qt::NoButton)
            showCursorFor(hitAt(global).edges, event->pos());
        return false;

    case QEvent::MouseButtonPress: {
        m_drag.end();
        m_state = State::Idle;
        if (event->button() != Qt::LeftButton)
            return false;
        const FramelessHit hit = hitAt(global);
        if (hit.edges) {
            m_drag.begin(m_window, hit.edges, global);
            return true;
        }
        if (hit.caption) {
            m_state = State::CaptionPressed;
            m_pressPos = global;
            return true;
        }
        return false;
    }

    case QEvent::MouseButtonRelease:
        if (m_drag.isActive() || m_state == State::CaptionPressed) {
            m_drag.end();
            m_state = State::Idle;
            return true;
        }
        return false;

    case QEvent::MouseButtonDblClick: {
        if (event->button() != Qt::LeftButton)
            return false;
        const FramelessHit hit = hitAt(global);
        if (hit.edges)
            return true;
        if (!hit.caption)
            return false;
        m_state = State::Idle;
        if (m_doubleClickMaximizes) {
            if (m_window->isMaximized())
                m_window->showNormal();
            else
                m_window->showMaximized();
        }
        return true;
    }

    default:
        return false;
    }
}

// Children set their own pointer shapes when the pointer enters them; over the band the edge's
// shape takes their place, and leaving the band gives back the shape of the widget underneath.
void FramelessHelper::showCursorFor(Qt::Edges edges, const QPoint &localPos)
{
    if (edges) {
        m_handle->setCursor(Frameless::cursorForEdges(edges));
        m_cursorShown = true;
        return;
    }
    if (!m_cursorShown)
        return;
    m_cursorShown = false;
    QWidget *under = m_window->childAt(localPos);
    m_handle->setCursor((under ? under : m_window)->cursor());
}
