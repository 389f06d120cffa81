// The console started as main() starts it, which then says "ready" on stdout. With
// "--open <window>" it first opens one of the main window's auxiliary windows as a user does:
// "log" ("日志" in the title bar), "login" ("登录"), "popup" ("系统"), "function" and "table"
// ("功能1", "功能2" in the popup menu), "card" (the pointer on the avatar); "wait", which no
// button opens, is shown. When the main window goes away it says "visible <class>" for every
// window still on screen. Tests close it through the window manager and answer its close
// prompt from the keyboard.
#include <QApplication>
#include <QCursor>
#include <QPropertyAnimation>
#include <QTest>
#include <QWindow>

#include <cstdio>

#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "common/terminationwatcher.h"
#include "mainobject.h"
#include "stripsupport.h"
#include "ui/common/additionalwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/widgets/setupwaitprogressbar.h"

namespace
{

// Generous: a sanitizer build on a busy machine.
constexpr int OpenTimeoutMs = 30000;

void say(const QByteArray &line)
{
    std::puts(line.constData());
    std::fflush(stdout);
}

// The top-level window of the class that is on screen; with none, the first one.
QWidget *shownTopLevel(const char *className)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits(className) && window->isVisible())
            return window;
    }
    return topLevel(className);
}

QWidget *openWindow(const MainObject &mainObject, const QString &which)
{
    AdditionalWidget *strip = mainObject.mainWindow()->additionalWidget();
    if (which == QLatin1String("log")) {
        click(strip, QStringLiteral("日志"));
        return topLevel("LogWidget");
    }
    if (which == QLatin1String("login")) {
        click(strip, QStringLiteral("登录"));
        return shownTopLevel("LoginWidget");
    }
    if (which == QLatin1String("popup")) {
        click(strip, QStringLiteral("系统"));
        return topLevel("PopupMenu");
    }
    if (which == QLatin1String("function") || which == QLatin1String("table")) {
        const bool function = which == QLatin1String("function");
        click(strip, QStringLiteral("系统"));
        click(topLevel("PopupMenu"), function ? QStringLiteral("功能1") : QStringLiteral("功能2"));
        return topLevel(function ? "FuncWidget1" : "TableWidget");
    }
    if (which == QLatin1String("card")) {
        QCursor::setPos(strip->mapToGlobal(strip->headButtonGeometry().center()));
        // Built when the pointer first reaches the avatar.
        if (!QTest::qWaitFor([] { return topLevel("LoginInfo") != nullptr; }, OpenTimeoutMs))
            return nullptr;
        return topLevel("LoginInfo");
    }
    if (which == QLatin1String("wait")) {
        // The main window's own, not the one that follows the start-up login.
        QWidget *window = mainObject.mainWindow()->waitProgressBar();
        window->show();
        return window;
    }
    return nullptr;
}

// On screen, and at rest where it slides in.
bool isOpen(QWidget *window)
{
    return QTest::qWaitFor(
               [window] {
                   return window->isVisible() && !window->findChild<QPropertyAnimation *>();
               },
               OpenTimeoutMs) &&
           QTest::qWaitForWindowExposed(window) && window->isVisible();
}

} // namespace

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
    MainWindow *mainWindow = mainObject.mainWindow();
    if (!QTest::qWaitForWindowExposed(mainWindow))
        return 2;
    const int open = app.arguments().indexOf(QStringLiteral("--open"));
    if (open >= 0) {
        QWidget *window = openWindow(mainObject, app.arguments().value(open + 1));
        if (!window || !isOpen(window))
            return 2;
    }
    // Said while the main window is hidden, before the program decides whether to end.
    QObject::connect(mainWindow->windowHandle(), &QWindow::visibleChanged, [mainWindow](bool on) {
        if (on)
            return;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window != mainWindow && window->isVisible())
                say(QByteArray("visible ") + window->metaObject()->className());
        }
    });
    // Ended by SIGTERM like the console, through the event loop, so that its block goes too.
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &app,
                     &QCoreApplication::quit);
    say("ready");
    return app.exec();
}
