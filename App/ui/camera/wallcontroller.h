#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

#include "wall/wallkeys.h"

class CameraDisplay;
class CameraPanel;
class QAction;
class SnapshotWriter;
class WallFocusFrame;
class WallHelpOverlay;
class WallNotice;
class WallTour;

// The operator's handling of the camera wall beyond its layout menu: the keys (through the one
// rule of WallKeys), the focus frame, the list of keys, dragging tiles and cameras onto tiles,
// the tour and snapshots. It asks for full screen; the window does it.
class WallController : public QObject
{
    Q_OBJECT

public:
    explicit WallController(CameraPanel *panel);
    ~WallController() override;

    WallState state() const;
    // Runs the key map on a key and shows its outcome.
    void handleKey(int key);
    // Shows a state of the wall; the layout is stored when storeLayout says so.
    void moveTo(const WallState &after, bool storeLayout);

    WallTour *tour() const { return m_tour; }
    SnapshotWriter *snapshots() const { return m_snapshots; }
    WallHelpOverlay *helpOverlay() const { return m_help; }
    WallNotice *notice() const { return m_notice; }
    WallFocusFrame *focusFrame() const;
    QAction *tourAction() const { return m_tourAction; }
    QAction *naturalOrderAction() const { return m_naturalOrderAction; }

    // The position whose tile holds the point of the panel, or -1.
    int positionAt(const QPoint &point) const;

public slots:
    // The window left full screen by itself (or was never asked to go there).
    void setFullScreen(bool fullScreen);

signals:
    void fullScreenRequested(bool fullScreen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Q_DISABLE_COPY(WallController)

    void addShortcuts();
    void addMenuEntries();
    void placeFrame();
    void takeSnapshot();
    void tourStep();
    bool filterDrop(QEvent *event);
    bool startDragFrom(CameraDisplay *tile, const QPoint &globalPos);

    CameraPanel *m_panel;
    WallTour *m_tour = nullptr;
    SnapshotWriter *m_snapshots = nullptr;
    QPointer<WallFocusFrame> m_frame;
    WallHelpOverlay *m_help = nullptr;
    WallNotice *m_notice = nullptr;
    QAction *m_tourAction = nullptr;
    QAction *m_naturalOrderAction = nullptr;
    int m_focus = -1;
    bool m_fullScreen = false;
    QPointer<CameraDisplay> m_pressed;
    QPoint m_pressAt;
};
