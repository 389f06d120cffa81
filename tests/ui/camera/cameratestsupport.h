#pragma once

#include <QAction>
#include <QFile>
#include <QGridLayout>
#include <QMenu>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtTest>

// Shared by the camera tests and their helper program.
namespace CameraTest
{

// A tile's place in the grid.
struct Cell {
    int tile;
    int row;
    int column;
    int rowSpan;
    int columnSpan;
};

inline bool operator==(const Cell &a, const Cell &b)
{
    return a.tile == b.tile && a.row == b.row && a.column == b.column && a.rowSpan == b.rowSpan &&
           a.columnSpan == b.columnSpan;
}

inline char *toString(const Cell &cell)
{
    return QTest::toString(QStringLiteral("tile %1 at (%2, %3) span %4 x %5")
                               .arg(cell.tile)
                               .arg(cell.row)
                               .arg(cell.column)
                               .arg(cell.rowSpan)
                               .arg(cell.columnSpan));
}

// Where the tiles of the list sit in the grid, in list order; tiles out of the grid are left out.
template <typename Tile>
QList<Cell> gridCells(QGridLayout *grid, const QList<Tile *> &tiles)
{
    QList<Cell> cells;
    for (int i = 0; i < tiles.size(); ++i) {
        const int item = grid->indexOf(tiles.at(i));
        if (item < 0)
            continue;
        Cell cell{i, 0, 0, 0, 0};
        grid->getItemPosition(item, &cell.row, &cell.column, &cell.rowSpan, &cell.columnSpan);
        cells.append(cell);
    }
    return cells;
}

// The menu entry whose "flag" property is the given layout string, in the menu or its submenus.
inline QAction *findAction(QMenu *menu, const QString &flag)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->menu()) {
            if (QAction *found = findAction(action->menu(), flag))
                return found;
        } else if (action->property("flag").toString() == flag) {
            return action;
        }
    }
    return nullptr;
}

// The camera pair as the file on disk holds it, read as text: QSettings would answer from its
// in-process cache.
inline QPair<QString, QString> cameraInFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QPair<QString, QString> pair;
    QString section;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('[')))
            section = line.trimmed();
        else if (section == QLatin1String("[Camera]") && line.startsWith(QLatin1String("Type=")))
            pair.first = line.mid(5).trimmed();
        else if (section == QLatin1String("[Camera]") && line.startsWith(QLatin1String("Index=")))
            pair.second = line.mid(6).trimmed();
    }
    return pair;
}

} // namespace CameraTest

Q_DECLARE_METATYPE(CameraTest::Cell)
