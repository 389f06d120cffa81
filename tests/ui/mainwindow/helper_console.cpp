// The console started as main() starts it, which then says "ready" on stdout; with "--open-demo"
// it first opens the demo window as a user does: "系统" in the title bar, then "功能1" in the
// popup menu. Tests close it through the window manager and answer its close prompt from the
// keyboard.
#include <QApplication>
#include <QTest>

#include <cstdio>

#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "common/terminationwatcher.h"
#include "mainobject.h"
#include "stripsupport.h"
#include "ui/common/additionalwidget.h"
#include "ui/mainwindow/mainwindow.h"

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(argc, argv, false, UniqueApplication::PerUser, 1000, QString());
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath());
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    QObject::connect(&app, &UniqueApplication::instanceStarted,
                     [&mainObject] { mainObject.raiseMainWindow(); });
    mainObject.showMainWindow();
    if (!QTest::qWaitForWindowExposed(mainObject.mainWindow()))
        return 2;
    if (app.arguments().contains(QStringLiteral("--open-demo"))) {
        click(mainObject.mainWindow()->additionalWidget(), QStringLiteral("系统"));
        click(topLevel("PopupMenu"), QStringLiteral("功能1"));
        if (!QTest::qWaitForWindowExposed(topLevel("FuncWidget1")))
            return 2;
    }
    // Ended by SIGTERM like the console, through the event loop, so that its block goes too.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
