#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "wall/wallarrangement.h"

class CameraBox;
class CameraDisplay;
class VideoChannelSet;
class QGridLayout;
class QLabel;
class QMenu;
class QVBoxLayout;
class WallController;

// The camera wall: sixteen tiles, one per channel, in a grid arranged by a CameraBox; the
// WallArrangement says which channel's tile sits at each position of the layouts, and a
// WallController adds the keys, drags, tour and snapshots. A right press anywhere on
// the page opens the layout menu; a double click on a tile shows it alone, the next one brings
// the layout back. The layout stored in SetupConfig is applied at start-up. Tile n shows
// channel n until bound otherwise; while the page is the current one, a tile in the layout asks
// for its channel's grid stream, or for the main stream when it is shown alone.
class CameraPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TileCount = 16;
    static constexpr int StatusHeight = 30;
    static constexpr int MarginLeft = 1;
    static constexpr int MarginTop = 1;
    static constexpr int MarginRight = 0;
    static constexpr int MarginBottom = 1;

    explicit CameraPanel(QWidget *parent = nullptr);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // The tiles in channel order: entry n - 1 shows channel n wherever it sits.
    QList<CameraDisplay *> tiles() const;
    // The tile at a position of the layouts, or null.
    CameraDisplay *tileAt(int position) const;
    int positionOf(const CameraDisplay *tile) const;
    // The position shown alone, or -1 while a layout is shown.
    int maximisedPosition() const;
    // Shows the tile of the position alone, as a double click does.
    void maximise(int position);
    // Ends the single-tile view, as the second double click does.
    void restoreLayout();
    // Shows an offered layout, ending the single-tile view; stored as the menu stores it, or
    // (store false) shown for a while only.
    void chooseLayout(const QString &layout, bool store);

    const WallArrangement &arrangement() const;
    // Shows the channel at the position; the channel's old position takes the one that was
    // there. Stored at once.
    void placeChannel(int channel, int position);
    void setArrangement(const WallArrangement &arrangement);
    WallController *wall() const;

    QGridLayout *gridLayout() const;
    QMenu *menu() const;
    CameraBox *cameraBox() const;
    QString statusText() const;
    bool isTileMaximised() const;

    // Only a press with the right button alone opens the layout menu.
    static bool opensMenu(Qt::MouseButtons held);

    // The cameras the tiles show: tile i shows channel i + 1.
    void setChannels(VideoChannelSet *channels);
    // Tile (0-based) shows channel number (1-based): its picture, name and caption.
    void bindTile(int tile, int number);
    // The tile that shows channel n (1 ... TileCount), wherever the arrangement put it; null for
    // any other number.
    CameraDisplay *tileOfChannel(int number) const;
    // Whether the page is the one shown; no tile asks for a picture while it is not.
    void setActive(bool active);
    bool isActive() const { return m_active; }

protected:
    // Opens the layout menu modally at globalPos; the one place the page blocks on the menu.
    virtual void popupMenu(const QPoint &globalPos);

private slots:
    void initUI();
    void doAction();
    void changeCamera(int type, QString videoType, bool videoMax);

private:
    Q_DISABLE_COPY(CameraPanel)

    void applyStoredLayout();
    void toggleMaximised(CameraDisplay *tile);
    void showAlone(CameraDisplay *tile);
    void swapPositions(int first, int second);
    void updateTileStreams();

    QVBoxLayout *m_mainLayout = nullptr;
    QGridLayout *m_gridLayout = nullptr;
    QLabel *m_statusLabel = nullptr;
    bool m_videoMax = false;
    QMenu *m_menu = nullptr;
    CameraBox *m_cameraBox = nullptr;
    QList<CameraDisplay *> m_tiles;
    WallArrangement m_arrangement;
    WallController *m_wall = nullptr;
    VideoChannelSet *m_channels = nullptr;
    bool m_active = false;
};
