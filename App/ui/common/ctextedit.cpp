#include "ctextedit.h"

#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QWheelEvent>
#include <QtMath>

CTextEdit::CTextEdit(QWidget *parent) : QTextEdit(parent)
{
    // The boxes show the console's log: typing must not add to it, and Tab moves on to the next
    // control instead of going into the text. The keyboard still scrolls and selects.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setTabChangesFocus(true);
    // Nothing to undo in a log; an undo stack would only grow with it.
    setUndoRedoEnabled(false);
    // The padding lies outside the document, so that the last line ends where the view ends
    // when the box follows the end of its log.
    document()->setDocumentMargin(0);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { holdLineHeight(position, position + added); });
    fitWholeLines();
}

int CTextEdit::naturalLineHeight() const
{
    const QFontMetricsF metrics(document()->defaultFont());
    return qCeil(metrics.ascent()) + qCeil(metrics.descent());
}

// Every line advances by the same whole number of pixels (the font's own advance may be a
// fraction), so that a box of the right height starts and ends on a line at every whole-line
// scroll position.
void CTextEdit::holdLineHeight(int from, int to)
{
    if (m_holdingLines || m_lineHeight <= 0)
        return;
    m_holdingLines = true;
    QTextBlockFormat fixed;
    // The layout scales a fixed line height by the screen's resolution over the reference one.
    fixed.setLineHeight(m_lineHeight * LayoutReferenceDpi / logicalDpiY(),
                        QTextBlockFormat::FixedHeight);
    QTextCursor cursor(document());
    cursor.setPosition(qBound(0, from, document()->characterCount() - 1));
    cursor.setPosition(qBound(0, to, document()->characterCount() - 1), QTextCursor::KeepAnchor);
    cursor.mergeBlockFormat(fixed);
    m_holdingLines = false;
}

// A box whose height is not a whole number of lines shows a cut line at its top when scrolled to
// the end, where a log box mostly is. The spare height goes below the lines instead, and the
// wheel scrolls by whole lines.
void CTextEdit::fitWholeLines()
{
    const int line = naturalLineHeight();
    if (line != m_lineHeight) {
        m_lineHeight = line;
        holdLineHeight(0, document()->characterCount());
    }
    const int room = contentsRect().height() - 2 * TextPadding;
    const int spare = room >= line ? room % line : 0;
    // A box at the end of its log stays there, as appending leaves it.
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    setViewportMargins(TextPadding, TextPadding, TextPadding, TextPadding + spare);
    bar->setSingleStep(line);
    if (atEnd)
        bar->setValue(bar->maximum());
}

void CTextEdit::resizeEvent(QResizeEvent *event)
{
    QTextEdit::resizeEvent(event);
    fitWholeLines();
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
    // Fonts set the line height, style sheets the frame.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitWholeLines();
}
