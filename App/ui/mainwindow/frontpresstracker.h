#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

// Whether the console was in front when the operator pressed on its main window: a button that
// hides an auxiliary window should hide it only when the operator could see it. A window manager
// activates (and raises) a window on the press that reaches it, before the press arrives, so a
// press that came right after the focus moved to the main window from outside the console found
// the console behind something else. The console is the main window and the windows transient
// for it.
class FrontPressTracker : public QObject
{
    Q_OBJECT

public:
    // Watches the window's input and goes with the window.
    explicit FrontPressTracker(QWidget *window);

    // For the press being handled: the main window is active, and the console was in front
    // before the press.
    bool wasInFront() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(FrontPressTracker)

    bool belongsToConsole(const QWindow *window) const;
    void watchNativeWindow();
    void focusChanged(QWindow *focus);

    QWidget *m_window;
    QPointer<QWindow> m_focus;
    bool m_broughtForward = false;
    bool m_pressBroughtForward = false;
};
