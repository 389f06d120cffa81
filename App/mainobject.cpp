#include "mainobject.h"

#include "common/config/setupconfig.h"
#include "platform/windowmaximizer.h"
#include "platform/windowraiser.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/setupwaitprogressbar.h"

MainObject::MainObject(QObject *parent) : QObject(parent), m_mainWindow(new MainWindow) {}

MainObject::~MainObject()
{
    delete m_mainWindow;
    delete m_waitProgressBar;
    delete m_loginWidget;
}

LoginWidget *MainObject::loginWidget()
{
    if (!m_loginWidget) {
        m_loginWidget = new LoginWidget;
        m_loginWidget->setBackgroundImage(SetupConfig::instance()->loginBackgroundPath());
        connect(m_loginWidget, &LoginWidget::loggedIn, this,
                [this] { waitProgressBar()->start(); });
        // The form has no close button: "返回" is the way back without logging in.
        connect(m_loginWidget, &LoginWidget::signalReturn, m_loginWidget, &QWidget::hide);
    }
    return m_loginWidget;
}

SetupWaitProgressBar *MainObject::waitProgressBar()
{
    if (!m_waitProgressBar) {
        m_waitProgressBar = new SetupWaitProgressBar;
        connect(m_waitProgressBar, &SetupWaitProgressBar::completed, m_mainWindow,
                &QWidget::showMaximized);
    }
    return m_waitProgressBar;
}

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
