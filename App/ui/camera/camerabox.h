#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include "wall/walllayout.h"

class QGridLayout;
class QMenu;
class QWidget;

// Places a chosen subset of the camera tiles into a grid. A layout string names the cameras
// shown, 1-based and inclusive ("11_16" = cameras 11 to 16); "0_n" is the single view of camera
// n. The layout type is the number of tiles shown, the layout index the first tile (0-based).
class CameraBox : public QObject
{
    Q_OBJECT

public:
    explicit CameraBox(QObject *parent = nullptr);

    QString cameraType() const;
    void setCameraType(const QString &cameraType);
    void setGridLayout(QGridLayout *gridLayout);
    void setWidgets(const QList<QWidget *> &widgets);
    void setMenuFlag(const QString &menuFlag);
    void setActionFlag(const QString &actionFlag);
    QMap<int, QStringList> cameraLayouts() const;
    void setCameraLayouts(const QMap<int, QStringList> &cameraLayouts);

    // The offered layout string of this type that starts at tile index, or an empty string
    // when the type offers none or not all of its tiles are in the list.
    QString layoutFor(int type, int index) const;

    // The tiles in grid order: entry k is the tile of position k.
    QList<QWidget *> widgets() const;
    // Exchanges the tiles of two positions, in the list and on the grid.
    void swapTiles(int first, int second);

    // An offered layout string, laid out as its menu entry does (stored and announced);
    // nothing for the layout in force.
    void chooseLayout(const QString &layout);
    // The same, but stored nowhere: what the wall shows for a while.
    void previewLayout(const QString &layout);

    void initMenu(QMenu *menu, const QList<bool> &enable);
    void restoreCamera();
    void hideCamera();

    // The tile types the menu can offer, in the order of initMenu's flags.
    static QList<int> menuTypes();

signals:
    void changeCamera(int type, QString cameraType, bool videoMax);

public slots:
    void showCamera(int type, int index);
    void showCamera();
    void changeCameranormal(int index, int flag);
    void changeCameracustom(int index, int type);
    void changeCamera6(QList<int> indexs);
    void changeCamera8(QList<int> indexs);
    void changeCamera13(QList<int> indexs);
    void changeCamera1(int index);
    void changeCamera2(int index);
    void changeCamera4(int index);
    void changeCamera6(int index);
    void changeCamera8(int index);
    void changeCamera9(int index);
    void changeCamera13(int index);
    void changeCamera16(int index);

private:
    Q_DISABLE_COPY(CameraBox)

    using Cell = WallLayout::Cell;

    void addCameraMenu(QMenu *menu, int type);
    bool hasGrid(const char *slotName) const;
    bool rangeExists(int index, int count) const;
    bool canPlace(const char *slotName, int index, int count) const;
    void placeCustom(const QList<int> &indexs, const QList<Cell> &cells, const char *slotName);
    void placeTile(int index, const Cell &cell);

    // Lays out a layout of the type from the tile, storing and announcing nothing.
    void place(int type, int index);
    int typeOfLayout(const QString &layout) const;

    QGridLayout *m_gridLayout = nullptr;
    QList<QWidget *> m_widgets;
    QString m_cameraType;
    QString m_menuFlag;
    QString m_actionFlag;
    QMap<int, QStringList> m_cameraLayouts;
};
