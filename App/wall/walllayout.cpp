#include "walllayout.h"

namespace
{

const QChar LayoutSeparator = QLatin1Char('_');
const QString SingleViewPrefix = QStringLiteral("0_");

QList<WallLayout::Cell> squareCells(int side)
{
    QList<WallLayout::Cell> cells;
    for (int k = 0; k < side * side; ++k)
        cells.append({k / side, k % side, 1, 1});
    return cells;
}

// The tile a 1-based number names, or -1 for anything else.
int tileOfNumber(const QString &number)
{
    bool ok = false;
    const int value = number.toInt(&ok);
    return ok && value > 0 && value <= WallLayout::TileCount ? value - 1 : -1;
}

} // namespace

QMap<int, QStringList> WallLayout::offeredLayouts()
{
    return {
        {2,
         {QStringLiteral("1_2"), QStringLiteral("3_4"), QStringLiteral("5_6"),
          QStringLiteral("7_8"), QStringLiteral("9_10"), QStringLiteral("11_12"),
          QStringLiteral("13_14"), QStringLiteral("15_16")}},
        {4,
         {QStringLiteral("1_4"), QStringLiteral("5_8"), QStringLiteral("9_12"),
          QStringLiteral("13_16")}},
        {6, {QStringLiteral("1_6"), QStringLiteral("7_12"), QStringLiteral("11_16")}},
        {8, {QStringLiteral("1_8"), QStringLiteral("9_16")}},
        {9, {QStringLiteral("1_9"), QStringLiteral("8_16")}},
        {13, {QStringLiteral("1_13"), QStringLiteral("4_16")}},
        {16, {QStringLiteral("1_16")}},
    };
}

QList<int> WallLayout::menuTypes()
{
    return {2, 4, 6, 8, 9, 13, 16};
}

QList<int> WallLayout::keyTypes()
{
    return {1, 2, 4, 6, 8, 9, 13, 16};
}

QList<WallLayout::Cell> WallLayout::cells(int type)
{
    switch (type) {
    case 1:
        return {{0, 0, 1, 1}};
    case 2:
        return {{0, 0, 1, 1}, {0, 1, 1, 1}};
    case 4:
        return squareCells(2);
    case 6:
        return {{0, 0, 2, 2}, {0, 2, 1, 1}, {1, 2, 1, 1}, {2, 2, 1, 1}, {2, 1, 1, 1}, {2, 0, 1, 1}};
    case 8:
        return {{0, 0, 3, 3}, {0, 3, 1, 1}, {1, 3, 1, 1}, {2, 3, 1, 1},
                {3, 3, 1, 1}, {3, 2, 1, 1}, {3, 1, 1, 1}, {3, 0, 1, 1}};
    case 9:
        return squareCells(3);
    case 13:
        return {{0, 0, 1, 1}, {0, 1, 1, 1}, {0, 2, 1, 1}, {0, 3, 1, 1}, {1, 0, 1, 1},
                {2, 0, 1, 1}, {1, 1, 2, 2}, {1, 3, 1, 1}, {2, 3, 1, 1}, {3, 0, 1, 1},
                {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1}};
    case 16:
        return squareCells(4);
    default:
        return {};
    }
}

int WallLayout::typeOf(const QString &layout)
{
    if (layout.startsWith(SingleViewPrefix))
        return tileOfNumber(layout.mid(SingleViewPrefix.size())) >= 0 ? 1 : 0;
    const QMap<int, QStringList> offered = offeredLayouts();
    for (auto it = offered.cbegin(); it != offered.cend(); ++it) {
        if (it.value().contains(layout))
            return it.key();
    }
    return 0;
}

int WallLayout::firstTileOf(const QString &layout)
{
    if (layout.startsWith(SingleViewPrefix))
        return tileOfNumber(layout.mid(SingleViewPrefix.size()));
    return tileOfNumber(layout.section(LayoutSeparator, 0, 0));
}

QString WallLayout::layoutFor(int type, int index)
{
    if (type == 1)
        return index >= 0 && index < TileCount ? SingleViewPrefix + QString::number(index + 1)
                                               : QString();
    const QStringList layouts = offeredLayouts().value(type);
    for (const QString &layout : layouts) {
        if (firstTileOf(layout) == index)
            return layout;
    }
    return QString();
}

QList<int> WallLayout::groupStarts(int type)
{
    QList<int> starts;
    if (type == 1) {
        for (int tile = 0; tile < TileCount; ++tile)
            starts << tile;
        return starts;
    }
    const QStringList layouts = offeredLayouts().value(type);
    for (const QString &layout : layouts)
        starts << firstTileOf(layout);
    return starts;
}

int WallLayout::groupAround(int type, int tile)
{
    const QList<int> starts = groupStarts(type);
    int found = starts.isEmpty() ? -1 : starts.first();
    for (int start : starts) {
        if (start <= tile)
            found = start;
    }
    return found;
}

int WallLayout::nextGroup(int type, int index, int step)
{
    const QList<int> starts = groupStarts(type);
    const int at = starts.indexOf(index);
    if (at < 0 || starts.size() < 2)
        return index;
    const int count = int(starts.size());
    return starts.at(((at + step) % count + count) % count);
}
