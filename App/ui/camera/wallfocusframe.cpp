#include "wallfocusframe.h"

#include <QEvent>
#include <QPainter>

// Amber reads on the dark and the light themes alike and is no state colour of a tile.
const QColor WallFocusFrame::LineColor(0xFF, 0xB3, 0x00);

WallFocusFrame::WallFocusFrame(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void WallFocusFrame::setTile(QWidget *tile)
{
    if (m_tile == tile)
        return;
    if (m_tile)
        m_tile->removeEventFilter(this);
    m_tile = tile;
    if (!tile) {
        // Stays with its last tile, which owns it.
        hide();
        return;
    }
    // A child of the tile: it shows and hides with it and moves with it in any layout.
    setParent(tile);
    setGeometry(tile->rect());
    tile->installEventFilter(this);
    show();
    raise();
}

QWidget *WallFocusFrame::tile() const
{
    return m_tile;
}

bool WallFocusFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tile && event->type() == QEvent::Resize)
        setGeometry(m_tile->rect());
    return QWidget::eventFilter(watched, event);
}

void WallFocusFrame::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    const QRect outer = rect();
    // Four bands along the edges, drawn exactly on whole pixels.
    painter.fillRect(outer.x(), outer.y(), outer.width(), LineWidth, LineColor);
    painter.fillRect(outer.x(), outer.bottom() - LineWidth + 1, outer.width(), LineWidth,
                     LineColor);
    painter.fillRect(outer.x(), outer.y(), LineWidth, outer.height(), LineColor);
    painter.fillRect(outer.right() - LineWidth + 1, outer.y(), LineWidth, outer.height(),
                     LineColor);
}
