#pragma once

#include <QObject>

class LoginWidget;
class MainWindow;
class SetupWaitProgressBar;

// Creates the top-level windows, wires them together and brings the main window to the front
// when a second start of the program hands over to this one. Its own login form leads, once a
// login succeeds, through the wait window to the maximised main window. The login form and the
// wait window are built when first asked for.
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

    // The start-up step: sets the theme's style sheet on the whole application (ThemeManager).
    static bool applyTheme(const QString &themeName);

private:
    Q_DISABLE_COPY(MainObject)

    LoginWidget *m_loginWidget = nullptr;
    SetupWaitProgressBar *m_waitProgressBar = nullptr;
    MainWindow *m_mainWindow = nullptr;
};
