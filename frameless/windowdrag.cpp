#include "windowdrag.h"

#include <QApplication>
#include <QWindow>

#include "framelessrules.h"

namespace
{
bool s_systemDragEnabled = true;
}

void WindowDrag::begin(QWidget *window, Qt::Edges edges, const QPoint &globalPos)
{
    end();
    if (!window)
        return;

    QWindow *handle = window->windowHandle();
    if (s_systemDragEnabled && handle) {
        const bool started = edges ? handle->startSystemResize(edges) : handle->startSystemMove();
        if (started)
            return;
    }

    m_window = window;
    m_edges = edges;
    m_startPointer = globalPos;
    m_startPos = window->pos();
    m_startGeometry = window->geometry();
}

void WindowDrag::update(const QPoint &globalPos)
{
    if (!m_window)
        return;
    const QPoint delta = globalPos - m_startPointer;
    if (!m_edges) {
        m_window->move(m_startPos + delta);
        return;
    }
    m_window->setGeometry(Frameless::resizedGeometry(
        m_startGeometry, m_edges, delta, m_window->minimumSize(), m_window->maximumSize()));
}

bool WindowDrag::beginMoveWhenDragged(QWidget *window, const QPoint &pressPos,
                                      const QPoint &globalPos)
{
    if (!Frameless::isDrag(pressPos, globalPos, QApplication::startDragDistance()))
        return false;
    if (window && !(window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        begin(window, {}, pressPos);
        update(globalPos);
    }
    return true;
}

void WindowDrag::end()
{
    m_window.clear();
    m_edges = {};
}

bool WindowDrag::isActive() const
{
    return !m_window.isNull();
}

void WindowDrag::setSystemDragEnabled(bool enabled)
{
    s_systemDragEnabled = enabled;
}

bool WindowDrag::isSystemDragEnabled()
{
    return s_systemDragEnabled;
}
