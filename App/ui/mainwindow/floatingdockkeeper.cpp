#include "floatingdockkeeper.h"

#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>

#include "platform/windowplacement.h"

FloatingDockKeeper::FloatingDockKeeper(QDockWidget *dock) : QObject(dock), m_dock(dock)
{
    dock->installEventFilter(this);
    connect(dock, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        if (floating)
            keepInsideLater();
    });
}

bool FloatingDockKeeper::eventFilter(QObject *watched, QEvent *event)
{
    // A floating dock is a window; asked as a QWidget, which the dock still is while it goes.
    if (watched == m_dock && m_dock->isWindow()) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
            keepInsideLater();
            break;
        default:
            break;
        }
    }
    return false;
}

void FloatingDockKeeper::keepInsideLater()
{
    // The dock is the timer's context: the call never comes after the dock is gone.
    QTimer::singleShot(0, m_dock, [this] { keepInside(); });
}

void FloatingDockKeeper::keepInside()
{
    if (!m_dock->isFloating() || !m_dock->isVisible() ||
        QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    WindowPlacement::keepInside(m_dock);
}
