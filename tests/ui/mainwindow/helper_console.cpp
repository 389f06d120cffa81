// The console started as main() starts it, which then says "ready" on stdout; with "--open-demo"
// it first opens the demo window as a user does: "系统" in the title bar, then "功能1" in the
// popup menu. Tests close it through the window manager and answer its close prompt from the
// keyboard.
#include <QApplication>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cstdio>

#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "mainobject.h"
#include "ui/common/additionalwidget.h"
#include "ui/common/popupmenu.h"
#include "ui/mainwindow/mainwindow.h"

namespace {

QWidget *newlyShownWindow(const QWidgetList &before)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !before.contains(window))
            return window;
    }
    return nullptr;
}

void click(QWidget *parent, const QString &text)
{
    for (QAbstractButton *button : parent->findChildren<QAbstractButton *>()) {
        if (button->text() == text)
            QTest::mouseClick(button, Qt::LeftButton);
    }
}

// The window that the clicks opened, or null.
QWidget *openWindow(MainWindow *window, const QStringList &arguments)
{
    QWidgetList before;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            before << w;
    }
    if (!arguments.contains(QStringLiteral("--open-demo")))
        return window;
    click(window->additionalWidget(), QStringLiteral("系统"));
    QWidget *popup = newlyShownWindow(before);
    if (!popup || !QTest::qWaitFor([popup] { return !popup->findChild<QPropertyAnimation *>(); }))
        return nullptr;
    before << popup;
    click(popup, QStringLiteral("功能1"));
    QWidget *opened = newlyShownWindow(before);
    return opened && QTest::qWaitForWindowExposed(opened) ? opened : nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(argc, argv, false, UniqueApplication::PerUser, 1000, QString());
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath());
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    QObject::connect(&app, &UniqueApplication::instanceStarted, [&mainObject] { mainObject.raiseMainWindow(); });
    mainObject.showMainWindow();
    if (!QTest::qWaitForWindowExposed(mainObject.mainWindow()) || !openWindow(mainObject.mainWindow(), app.arguments()))
        return 2;
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}
