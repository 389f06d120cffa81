#pragma once

#include <QTextEdit>

// A read-only log box whose font grows or shrinks by one pixel per wheel notch while Ctrl alone
// is held, down to a readable size, and keeps that size when the theme changes; any other wheel
// turn scrolls as usual. Tab leaves it for the next control.
class CTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    // One notch of a classic mouse wheel, in eighths of a degree.
    static constexpr int WheelNotch = 120;
    // Zooming out stops here: smaller log text is no longer readable.
    static constexpr int MinimumPixelSize = 8;

    explicit CTextEdit(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    Q_DISABLE_COPY(CTextEdit)

    void applyZoom();

    // What a smooth-scrolling device has turned short of a whole notch.
    int m_pendingDelta = 0;
    // The operator's zoom, kept over style sheet changes; 0 until the first zoom.
    int m_zoomPixelSize = 0;
};
