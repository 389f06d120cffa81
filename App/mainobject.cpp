#include "mainobject.h"

#include "common/config/setupconfig.h"
#include "platform/windowmaximizer.h"
#include "platform/windowraiser.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/normalgeometrykeeper.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/setupwaitprogressbar.h"

MainObject::MainObject(QObject *parent) : QObject(parent)
{
    createWindows();
    connectWindows();
}

MainObject::~MainObject()
{
    delete m_mainWindow;
    delete m_waitProgressBar;
    delete m_loginWidget;
}

void MainObject::createWindows()
{
    m_mainWindow = new MainWindow;
    m_normalGeometry = new NormalGeometryKeeper(m_mainWindow);
    m_loginWidget = new LoginWidget;
    m_loginWidget->setBackgroundImage(SetupConfig::instance()->loginBackgroundPath());
    m_waitProgressBar = new SetupWaitProgressBar;
}

void MainObject::connectWindows()
{
    connect(m_loginWidget, &LoginWidget::loggedIn, m_waitProgressBar, &SetupWaitProgressBar::start);
    connect(m_waitProgressBar, &SetupWaitProgressBar::completed, m_mainWindow,
            &QWidget::showMaximized);
    // The form has no close button: "返回" is the way back without logging in.
    connect(m_loginWidget, &LoginWidget::signalReturn, m_loginWidget, &QWidget::hide);
}

void MainObject::showMainWindow()
{
    // The geometry the window's restore button returns to; the window opens maximised.
    m_normalGeometry->restore();
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
