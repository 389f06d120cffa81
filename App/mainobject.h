#pragma once

#include <QObject>

class MainWindow;

// Creates the top-level windows, wires them together and brings the main window to the front
// when a second start of the program hands over to this one.
class MainObject : public QObject
{
    Q_OBJECT

public:
    explicit MainObject(QObject *parent = nullptr);
    ~MainObject() override;

    void showMainWindow();
    void raiseMainWindow();

    MainWindow *mainWindow() const { return m_mainWindow; }

    // The start-up step: sets the theme's style sheet on the whole application (ThemeManager).
    static bool applyTheme(const QString &themeName);

private:
    Q_DISABLE_COPY(MainObject)

    void createWindows();
    void connectWindows();

    MainWindow *m_mainWindow = nullptr;
};
