#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class CameraBox;
class CameraDisplay;
class VideoChannelSet;
class QGridLayout;
class QLabel;
class QMenu;
class QVBoxLayout;

// The camera wall: sixteen tiles in a grid arranged by a CameraBox. A right press anywhere on
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

    QList<CameraDisplay *> tiles() const;
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
    // The tile that shows channel n (1 ... TileCount); before any binding tile n - 1 does.
    // Null for any other number.
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
    void updateTileStreams();

    QVBoxLayout *m_mainLayout = nullptr;
    QGridLayout *m_gridLayout = nullptr;
    QLabel *m_statusLabel = nullptr;
    bool m_videoMax = false;
    QMenu *m_menu = nullptr;
    CameraBox *m_cameraBox = nullptr;
    QList<CameraDisplay *> m_tiles;
    VideoChannelSet *m_channels = nullptr;
    bool m_active = false;
};
