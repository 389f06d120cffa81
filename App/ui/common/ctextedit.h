#pragma once

#include <QTextEdit>

// A read-only log box whose font grows or shrinks by one pixel per wheel notch while Ctrl alone
// is held; any other wheel turn scrolls as usual. Tab leaves it for the next control.
class CTextEdit : public QTextEdit
{
    Q_OBJECT

public:
    // One notch of a classic mouse wheel, in eighths of a degree.
    static constexpr int WheelNotch = 120;
    static constexpr int MinimumPixelSize = 1;

    explicit CTextEdit(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    Q_DISABLE_COPY(CTextEdit)

    // What a smooth-scrolling device has turned short of a whole notch.
    int m_pendingDelta = 0;
};
