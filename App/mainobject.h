#pragma once

#include <QObject>

class LoginWidget;
class MainWindow;
class NormalGeometryKeeper;
class SetupWaitProgressBar;
class StationClient;
class StationModel;

// Creates the top-level windows, wires them together and brings the main window to the front
// when a second start of the program hands over to this one. Its own login form leads, once a
// login succeeds, through the wait window to the maximised main window; both are built when
// first asked for. When the INI names a station broker it also keeps the station's model and
// the client that feeds it, apart from the windows that show them, and hands the model's NG
// verdicts to the NG moments' recorder.
class MainObject : public QObject
{
    Q_OBJECT

public:
    explicit MainObject(QObject *parent = nullptr);
    ~MainObject() override;

    void showMainWindow();
    void raiseMainWindow();

    MainWindow *mainWindow() const { return m_mainWindow; }
    LoginWidget *loginWidget();
    SetupWaitProgressBar *waitProgressBar();
    // Null without a [Station] Broker entry.
    StationModel *stationModel() const { return m_stationModel; }
    StationClient *stationClient() const { return m_stationClient; }

    // The start-up step: sets the theme's style sheet on the whole application (ThemeManager).
    static bool applyTheme(const QString &themeName);

private:
    Q_DISABLE_COPY(MainObject)

    void createStationFeed();

    LoginWidget *m_loginWidget = nullptr;
    SetupWaitProgressBar *m_waitProgressBar = nullptr;
    MainWindow *m_mainWindow = nullptr;
    NormalGeometryKeeper *m_normalGeometry = nullptr;
    StationModel *m_stationModel = nullptr;
    StationClient *m_stationClient = nullptr;
};
