#include "mainobject.h"

#include "ui/common/thememanager.h"
#include "ui/common/windowmaximizer.h"
#include "ui/common/windowraiser.h"
#include "ui/mainwindow/mainwindow.h"

MainObject::MainObject(QObject *parent) : QObject(parent)
{
    createWindows();
    connectWindows();
}

MainObject::~MainObject()
{
    delete m_mainWindow;
}

void MainObject::createWindows()
{
    m_mainWindow = new MainWindow;
}

void MainObject::connectWindows() {}

void MainObject::showMainWindow()
{
    WindowMaximizer::showMaximized(m_mainWindow);
    m_mainWindow->showCameraPage();
}

void MainObject::raiseMainWindow()
{
    WindowRaiser::bringToFront(m_mainWindow);
}

bool MainObject::applyTheme(const QString &themeName)
{
    return ThemeManager::applyTheme(themeName);
}
