// Starts the camera wall on the configuration folder of the first argument, optionally chooses
// the layout named by the second argument from its menu, and prints what is on screen:
//   layout <layout string>
//   tile <index text> <visible|hidden> <row> <column> <row span> <column span>
#include "cameratestsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QMenu>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() < 2) {
        err << "usage: helper_camerapanel <application folder> [layout]\n";
        return 2;
    }
    SetupConfig::instance()->setAppDir(arguments.at(1));

    CameraPanel panel;
    panel.resize(1600, 900);
    panel.show();
    QCoreApplication::processEvents();

    if (arguments.size() > 2) {
        QAction *action = CameraTest::findAction(panel.menu(), arguments.at(2));
        if (!action) {
            err << "no menu entry for " << arguments.at(2) << '\n';
            return 3;
        }
        action->trigger();
        QCoreApplication::processEvents();
    }

    QTextStream out(stdout);
    out.setCodec("UTF-8");
    out << "layout " << panel.cameraBox()->cameraType() << '\n';
    const QList<CameraDisplay *> tiles = panel.tiles();
    const QList<CameraTest::Cell> cells = CameraTest::gridCells(panel.gridLayout(), tiles);
    for (const CameraTest::Cell &cell : cells) {
        const CameraDisplay *tile = tiles.at(cell.tile);
        out << "tile " << tile->index() << ' ' << (tile->isVisible() ? "visible" : "hidden") << ' '
            << cell.row << ' ' << cell.column << ' ' << cell.rowSpan << ' ' << cell.columnSpan
            << '\n';
    }
    return 0;
}
