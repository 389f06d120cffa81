#pragma once

#include <QObject>

class QDockWidget;

// Keeps a floating dock inside the available area of its screen, tall enough for its contents:
// floated, a dock keeps the height it had docked and its place, and so could reach below the
// screen's edge with the buttons at its bottom. The dock is put inside when it floats, when it is
// shown floating and when a drag of it ends; a move the window manager makes is left alone.
class FloatingDockKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches the dock and goes with it.
    explicit FloatingDockKeeper(QDockWidget *dock);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(FloatingDockKeeper)

    // Once the dock has its floating geometry; not while the pointer still drags it.
    void keepInsideLater();
    void keepInside();

    QDockWidget *m_dock;
};
