#pragma once

#include <QList>
#include <QMainWindow>
#include <QMargins>

class FramelessHelper;

// A main window without the window system's frame that still handles like a framed one: a band
// along its edges resizes it, a registered title-bar widget acts as its caption (drag to move,
// double click to maximise) and the contents margins stay right while it is maximised.
//
// The areas of the window are decided by hitTest(); presses on an edge or on the caption start
// the window system's move or resize, or a move or resize by hand where the window system
// refuses.
class CFramelessWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The area under a point; the numbers are those of the usual non-client hit codes.
    enum HitArea {
        HitNone = 0,
        HitCaption = 2,
        HitLeft = 10,
        HitRight = 11,
        HitTop = 12,
        HitTopLeft = 13,
        HitTopRight = 14,
        HitBottom = 15,
        HitBottomLeft = 16,
        HitBottomRight = 17
    };
    Q_ENUM(HitArea)

    static constexpr int DefaultResizeBorderWidth = 5;

    explicit CFramelessWindow(QWidget *parent = nullptr);
    ~CFramelessWindow() override;

    void setResizable(bool resizable);
    bool isResizable() const;

    void setResizeBorderWidth(int width);
    int resizeBorderWidth() const;

    // The widget whose area counts as caption; not owned, forgotten when it is destroyed.
    void setTitleBar(QWidget *titleBar);
    QWidget *titleBar() const;

    // A child of the title bar that still counts as caption (a label, a spacer).
    void addCaptionWidget(QWidget *widget);
    QList<QWidget *> captionWidgets() const;

    // These hide QWidget's functions of the same names: margins asked for by the user, on top of
    // which the window adds its own frame margins while maximised.
    void setContentsMargins(const QMargins &margins);
    void setContentsMargins(int left, int top, int right, int bottom);
    QMargins contentsMargins() const;
    QRect contentsRect() const;
    void getContentsMargins(int *left, int *top, int *right, int *bottom) const;

    QMargins frameMargins() const;

    // What lies under globalPos of a window occupying windowRect (both in global coordinates).
    // Edges come first: with B = the band width (at least 1), x in [left, left + B) is the left
    // band and x in [right - B, right) the right band (right = x + width), and likewise
    // vertically; where they overlap the right band wins over the left and the top over the
    // bottom, and an edge in both directions makes a corner. There are no edges when the window
    // is not resizable, and none along a fixed axis. Otherwise a point on the visible title bar
    // is caption when no child of the title bar is under it, or the child is a caption widget.
    static HitArea hitTest(const QRect &windowRect, const QPoint &globalPos, int borderWidth,
                           bool resizable, bool fixedWidth, bool fixedHeight,
                           const QWidget *titleBar, const QList<QWidget *> &captionWidgets);

    // The same for this window as it stands.
    HitArea hitTest(const QPoint &globalPos) const;

    // The frame margins a maximised window gets on this platform; X11 window managers keep a
    // frameless window inside the work area by themselves, so there are none.
    static QMargins maximizedFrameMargins();

public slots:
    void onTitleBarDestroyed();
    void showFullScreen();

protected:
    void changeEvent(QEvent *event) override;

private:
    Q_DISABLE_COPY(CFramelessWindow)

    void forgetCaptionWidget(QObject *object);
    // Back to the user's margins alone, as in the normal state.
    void dropFrameMargins();

    QWidget *m_titleBar = nullptr;
    QList<QWidget *> m_captionWidgets;
    int m_resizeBorderWidth = DefaultResizeBorderWidth;
    QMargins m_userMargins;
    QMargins m_frameMargins;
    bool m_justMaximized = false;
    bool m_resizable = true;
    FramelessHelper *m_frameless = nullptr;
};
