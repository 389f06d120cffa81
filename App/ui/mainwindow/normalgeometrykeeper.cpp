#include "normalgeometrykeeper.h"

#include <QDebug>
#include <QEvent>
#include <QWidget>

#include "common/config/setupconfig.h"
#include "platform/windowplacement.h"

const QString NormalGeometryKeeper::StoreKey = QStringLiteral("Window/NormalGeometry");

NormalGeometryKeeper::NormalGeometryKeeper(QWidget *window) : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

// A console ended by the session goes without hiding its window first.
NormalGeometryKeeper::~NormalGeometryKeeper()
{
    save();
}

QRect NormalGeometryKeeper::storedGeometry() const
{
    const QVariant stored = SetupConfig::instance()->value(StoreKey);
    if (!stored.isValid())
        return QRect();
    if (!stored.canConvert<QRect>() || !stored.toRect().isValid()) {
        qWarning().noquote() << QStringLiteral("NormalGeometryKeeper: %1 in %2 is not a geometry "
                                               "(%3); the window gets the default one.")
                                    .arg(StoreKey, SetupConfig::instance()->iniFilePath(),
                                         stored.toString());
        return QRect();
    }
    return stored.toRect();
}

void NormalGeometryKeeper::restore()
{
    const QRect stored = storedGeometry();
    m_saved = stored;
    const QPoint probe = stored.isValid() ? stored.center() : QPoint();
    m_normal = WindowPlacement::normalGeometry(stored, WindowPlacement::availableGeometryAt(probe),
                                               m_window->minimumSize());
    m_window->setGeometry(m_normal);
}

// Only what the window shows in its normal state counts. The window manager may report the
// maximised size before it reports the maximised state; a geometry that covers the screen is no
// normal geometry, so that one is passed over too.
void NormalGeometryKeeper::remember()
{
    if (m_window->windowState() &
            (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen) ||
        !m_window->isVisible())
        return;
    const QRect geometry = m_window->geometry();
    if (WindowPlacement::isUsableNormalGeometry(
            geometry, WindowPlacement::availableGeometryAt(geometry.center())))
        m_normal = geometry;
}

void NormalGeometryKeeper::save()
{
    if (!m_normal.isValid() || m_normal == m_saved)
        return;
    SetupConfig::instance()->setValue(StoreKey, m_normal);
    m_saved = m_normal;
}

bool NormalGeometryKeeper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            remember();
            break;
        case QEvent::WindowStateChange:
        case QEvent::Hide:
            save();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
