#pragma once

#include <QTextEdit>

// A read-only log box whose font grows or shrinks by one pixel per wheel notch while Ctrl alone
// is held, down to a readable size, and keeps that size when the theme changes; any other wheel
// turn scrolls as usual. Tab leaves it for the next control. It shows whole lines only, at any
// height.
class CTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    // One notch of a classic mouse wheel, in eighths of a degree.
    static constexpr int WheelNotch = 120;
    // Zooming out stops here: smaller log text is no longer readable.
    static constexpr int MinimumPixelSize = 8;

    // Room between the frame and the text on every side.
    static constexpr int TextPadding = 4;
    // The resolution at which the text layout takes a fixed line height as pixels.
    static constexpr qreal LayoutReferenceDpi = 96.0;

    explicit CTextEdit(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Q_DISABLE_COPY(CTextEdit)

    void applyZoom();
    int naturalLineHeight() const;
    void holdLineHeight(int from, int to);
    void fitWholeLines();

    // What a smooth-scrolling device has turned short of a whole notch.
    int m_pendingDelta = 0;
    // The operator's zoom, kept over style sheet changes; 0 until the first zoom.
    int m_zoomPixelSize = 0;
    // The advance of every line, in pixels.
    int m_lineHeight = 0;
    bool m_holdingLines = false;
};
