#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The layouts of the camera wall as data: which layout strings each tile count offers and
// where the k-th tile of a layout sits in the grid. A layout string names the tiles shown,
// 1-based and inclusive ("11_16" = tiles 10 to 15); "0_n" is tile n - 1 shown alone.
class WallLayout
{
public:
    static constexpr int TileCount = 16;

    struct Cell {
        int row;
        int column;
        int rowSpan;
        int columnSpan;
    };

    // For each tile count, the layout strings offered for it, in menu order.
    static QMap<int, QStringList> offeredLayouts();
    // The tile counts the layout menu offers, in menu order.
    static QList<int> menuTypes();
    // The tile counts the layout keys give, in key order (1 is a tile shown alone).
    static QList<int> keyTypes();

    // Where tile k of a layout of this type sits; empty for a type without a shape.
    static QList<Cell> cells(int type);

    // The tile count of an offered layout string ("0_n" counts 1), or 0.
    static int typeOf(const QString &layout);
    // The first tile (0-based) of a layout string, or -1.
    static int firstTileOf(const QString &layout);
    // The offered layout string of this type starting at the tile, or an empty string.
    static QString layoutFor(int type, int index);

    // The first tile of the offered group of this type that starts at the tile, or else of
    // the last one that starts before it; -1 for a type that offers none.
    static int groupAround(int type, int tile);
    // The first tile of the group step places after (or before, step < 0) the one starting at
    // index, wrapping around; index itself when the type offers one group or none.
    static int nextGroup(int type, int index, int step);

private:
    static QList<int> groupStarts(int type);
};
