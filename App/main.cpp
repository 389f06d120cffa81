#include <QApplication>

#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "common/terminationwatcher.h"
#include "mainobject.h"
#include "video/gstruntime.h"

namespace
{

constexpr bool AllowSecondary = false;
constexpr int HandOverTimeoutMs = 1000;

} // namespace

int main(int argc, char *argv[])
{
    // Before the application object exists, so that the console is usable at 150 % and more.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // Part of the single-instance name: set before the guard is built.
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CONSOLE_VERSION));
    // Lets the desktop match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("inspection-console"));

    // A second start ends inside this constructor, after telling the first one.
    UniqueApplication app(argc, argv, AllowSecondary, UniqueApplication::PerUser, HandOverTimeoutMs,
                          QString());

    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath());

    // Before the windows, so that GStreamer is shut down after the last camera has gone.
    GstRuntime gstRuntime;
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    // The functor form without a receiver: the application is the context, the call is direct.
    QObject::connect(&app, &UniqueApplication::instanceStarted,
                     [&mainObject] { mainObject.raiseMainWindow(); });

    // A session that ends or a Ctrl+C in a terminal closes the console through its event loop,
    // so that the single-instance block and socket are released.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);

    mainObject.showMainWindow();
    return app.exec();
}
