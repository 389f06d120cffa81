#pragma once

#include <QObject>
#include <QRect>

class QWidget;

// Keeps a main window's normal geometry (the one its restore button returns to) across runs, in
// the configuration store beside the other window state. Before the window is first shown,
// restore() gives it the stored geometry fitted to the screen, or three quarters of the screen
// the first time; the geometry goes back to the store when the window leaves its normal state
// and when it is hidden.
class NormalGeometryKeeper : public QObject
{
    Q_OBJECT

public:
    // "[Window] NormalGeometry" in the INI file, as @Rect(x y width height).
    static const QString StoreKey;

    // Watches the window and goes with it.
    explicit NormalGeometryKeeper(QWidget *window);
    ~NormalGeometryKeeper() override;

    void restore();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(NormalGeometryKeeper)

    QRect storedGeometry() const;
    void remember();
    void save();

    QWidget *m_window;
    QRect m_normal;
    // What the store holds, as far as this keeper knows.
    QRect m_saved;
};
