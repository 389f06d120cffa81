#include "ctextedit.h"

#include <QFontInfo>
#include <QWheelEvent>

CTextEdit::CTextEdit(QWidget *parent) : QTextEdit(parent)
{
    // The boxes show the console's log: typing must not add to it, and Tab moves on to the next
    // control instead of going into the text. The keyboard still scrolls and selects.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);
}

void CTextEdit::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() != Qt::ControlModifier) {
        m_pendingDelta = 0;
        // Past QTextEdit, which zooms a read-only text whenever Ctrl is among the modifiers.
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    m_pendingDelta += event->angleDelta().y();
    const int steps = m_pendingDelta / WheelNotch;
    if (steps == 0)
        return;
    m_pendingDelta -= steps * WheelNotch;

    // A font given in points has no pixel size of its own: start from the size it renders at.
    const int pixelSize =
        font().pixelSize() > 0 ? font().pixelSize() : QFontInfo(font()).pixelSize();
    // Zooming out stops at a readable size, and never makes a smaller font larger.
    m_zoomPixelSize = qMax(qMin(pixelSize, MinimumPixelSize), pixelSize + steps);
    applyZoom();
}

void CTextEdit::applyZoom()
{
    if (m_zoomPixelSize <= 0 || font().pixelSize() == m_zoomPixelSize)
        return;
    QFont zoomed = font();
    zoomed.setPixelSize(m_zoomPixelSize);
    setFont(zoomed);
}

void CTextEdit::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    // A new style sheet sets its own font size over the widget's: keep the operator's zoom.
    if (event->type() == QEvent::FontChange)
        applyZoom();
}
