#pragma once

#include "fancywindow.h"

class CameraPanel;
class QAction;
class QHBoxLayout;
class QMenu;
class QPushButton;

// The console's frameless main window: title bar with the theme menu and the middle button,
// and the pages in the centre.
class MainWindow : public FancyWindow
{
    Q_OBJECT

public:
    static constexpr int TitleBarHeight = 50;
    static constexpr int LogoIconSize = 40;
    static constexpr int MiddleButtonWidth = 100;
    static constexpr int MiddleButtonHeight = 30;
    static constexpr int StyleGlyph = 0xF001;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void showCameraPage();

    QMenu *styleMenu() const { return m_styleMenu; }
    QPushButton *middleButton() const { return m_middleButton; }
    CameraPanel *cameraPanel() const { return m_cameraPanel; }

    // "<configDir>/image/logo.ico"
    static QString logoPath();

private:
    void initPages();
    void initStyleMenu();
    void initMiddleButton();
    void initBar();
    void initConnections();
    void showMiddleMessage();

    QWidget *m_centralWidget = nullptr;
    QHBoxLayout *m_mainLayout = nullptr;
    CameraPanel *m_cameraPanel = nullptr;
    QAction *m_styleAction = nullptr;
    QMenu *m_styleMenu = nullptr;
    QPushButton *m_middleButton = nullptr;
};
