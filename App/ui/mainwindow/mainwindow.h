#pragma once

#include "fancywindow.h"

class CameraPanel;
class ChartPanel;
class CStackedWidget;
class QAction;
class QDockWidget;
class QHBoxLayout;
class QMenu;
class QPushButton;
class SidePanel;

// The console's frameless main window: title bar with the theme menu and the middle button,
// the sliding page stack in the centre (sixteen camera detail pages, the camera wall, the chart
// page) and the side panel in a dock whose navigation tree selects the page.
class MainWindow : public FancyWindow
{
    Q_OBJECT

public:
    static constexpr int TitleBarHeight = 50;
    static constexpr int LogoIconSize = 40;
    static constexpr int MiddleButtonWidth = 100;
    static constexpr int MiddleButtonHeight = 30;
    static constexpr int StyleGlyph = 0xF001;
    static constexpr int CameraPageCount = 16;
    static constexpr int CameraWallPage = 16;
    static constexpr int ChartPage = 17;
    static constexpr int SidePanelWidth = 250;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Slides the camera wall in.
    void showCameraPage();

    // The page a navigation text names: "相机" the camera wall, "图表" the chart page, "相机1"
    // to "相机16" the camera detail pages 0 to 15; -1 for any other text.
    static int pageIndexOf(const QString &txt);

    QMenu *styleMenu() const { return m_styleMenu; }
    QPushButton *middleButton() const { return m_middleButton; }
    CameraPanel *cameraPanel() const { return m_cameraPanel; }
    ChartPanel *chartPanel() const { return m_chartPanel; }
    CStackedWidget *stackedWidget() const { return m_stackedWidget; }
    SidePanel *sidePanel() const { return m_sidePanel; }
    QDockWidget *dockWidget() const { return m_dockWidget; }

    // "<configDir>/image/logo.ico"
    static QString logoPath();

private slots:
    // Shows the page that the text names; a text that names no page changes nothing.
    void clickedTreeWidget(QString txt);

private:
    void initPages();
    void initStyleMenu();
    void initMiddleButton();
    void initDockWidget();
    void initBar();
    void initConnections();
    void showMiddleMessage();

    QWidget *m_centralWidget = nullptr;
    QHBoxLayout *m_mainLayout = nullptr;
    CStackedWidget *m_stackedWidget = nullptr;
    CameraPanel *m_cameraPanel = nullptr;
    ChartPanel *m_chartPanel = nullptr;
    SidePanel *m_sidePanel = nullptr;
    QAction *m_styleAction = nullptr;
    QMenu *m_styleMenu = nullptr;
    QPushButton *m_middleButton = nullptr;
    QDockWidget *m_dockWidget = nullptr;
};
