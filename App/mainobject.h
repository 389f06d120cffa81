#pragma once

#include <QObject>

class MainWindow;

// Creates the top-level windows, wires them together and brings the main window to the front
// when a second start of the program hands over to this one. Also loads the theme style sheets.
class MainObject : public QObject
{
    Q_OBJECT

public:
    explicit MainObject(QObject *parent = nullptr);
    ~MainObject() override;

    void showMainWindow();
    void raiseMainWindow();

    MainWindow *mainWindow() const { return m_mainWindow; }

    // "<configDir>/style/<theme>/style.css"
    static QString themeFilePath(const QString &themeName);
    // Sets the theme's style sheet on the whole application. A theme whose file cannot be read
    // leaves the current style sheet in force; returns whether the style sheet was set.
    static bool applyTheme(const QString &themeName);

private:
    Q_DISABLE_COPY(MainObject)

    void createWindows();
    void connectWindows();

    MainWindow *m_mainWindow = nullptr;
};
