// Drives the configuration store from a separate process for the tests.
//   helper_setupconfig <appDir> print   prints "theme type index" after loading
//   helper_setupconfig <appDir> hammer  writes camera pairs in a loop until killed
#include <QCoreApplication>
#include <QTextStream>

#include "common/config/setupconfig.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(args.at(1));
    QTextStream out(stdout);
    if (args.at(2) == QLatin1String("print")) {
        out << store->theme() << ' ' << store->camera().first << ' ' << store->camera().second
            << '\n';
        return 0;
    }
    if (args.at(2) == QLatin1String("hammer")) {
        out << "ready" << Qt::endl;
        for (int i = 0;; ++i)
            store->setCamera(100000 + i, 200000 + i);
    }
    return 2;
}
