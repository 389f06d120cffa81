#include "mainobject.h"

#include <QDebug>

#include "common/config/setupconfig.h"
#include "moments/momentarchive.h"
#include "moments/momentrecorder.h"
#include "platform/windowmaximizer.h"
#include "platform/windowraiser.h"
#include "station/stationclient.h"
#include "station/stationmodel.h"
#include "station/stationsettings.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/normalgeometrykeeper.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/setupwaitprogressbar.h"

MainObject::MainObject(QObject *parent)
    : QObject(parent), m_mainWindow(new MainWindow),
      m_normalGeometry(new NormalGeometryKeeper(m_mainWindow))
{
    createStationFeed();
}

MainObject::~MainObject()
{
    // The network stops first, so that nothing arrives for windows on their way out.
    delete m_stationClient;
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

void MainObject::createStationFeed()
{
    const StationSettings settings = StationSettings::fromConfig();
    if (!settings.configured)
        return;
    if (!settings.error.isEmpty())
        qWarning().noquote()
            << QStringLiteral("Station feed: %1; the feed stays off.").arg(settings.error);
    m_stationModel = new StationModel(settings.topicPrefix, this);
    m_stationClient = new StationClient(settings, this);
    connect(m_stationClient, &StationClient::messageReceived, m_stationModel,
            &StationModel::handleMessage);
    m_mainWindow->setStationFeed(m_stationModel, m_stationClient);
    // Every NG verdict becomes a moment with the picture the camera's channel holds right now.
    connect(m_stationModel, &StationModel::verdictReceived, m_mainWindow->moments()->recorder(),
            &MomentRecorder::takeVerdict);
    m_stationClient->start();
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
