#pragma once

#include <QIcon>
#include <QPointer>
#include <QRect>

#include <functional>

#include "fancywindow.h"

class AdditionalWidget;
class CameraPanel;
class CameraParam;
class ChartPanel;
class CStackedWidget;
class FrontPressTracker;
class FuncWidget1;
class LanguageMenu;
class LogWidget;
class LoginInfo;
class LoginWidget;
class MomentArchive;
class MomentsPage;
class PopupMenu;
class QAction;
class QDockWidget;
class QHBoxLayout;
class QMenu;
class QPropertyAnimation;
class QPushButton;
class SetupWaitProgressBar;
class SidePanel;
class StationClient;
class StationFeedIndicator;
class StationModel;
class StationView;
class TableWidget;
class VideoChannelSet;

// The console's frameless main window: title bar with the theme menu, the user strip and the
// middle button; the sliding page stack in the centre (sixteen camera detail pages, the camera
// wall, the chart page) and the side panel in a dock whose navigation tree selects the page. It
// owns the auxiliary windows that the strip opens (user card, popup menu, log, login form, demo
// windows) and asks before closing. Only what the first frame shows is built with it; the other
// pages and the auxiliary windows are built when first needed, or one by one after the first
// paint while the program is otherwise idle.
class MainWindow : public FancyWindow
{
    Q_OBJECT

public:
    static constexpr int TitleBarHeight = 50;
    static constexpr int LogoIconSize = 40;
    static constexpr int MiddleButtonWidth = 100;
    static constexpr int MiddleButtonHeight = 30;
    static constexpr int StyleGlyph = 0xF001;
    static constexpr int LanguageGlyph = 0xF1AB;
    static constexpr int CameraPageCount = 16;
    static constexpr int CameraWallPage = 16;
    static constexpr int ChartPage = 17;
    static constexpr int MomentPage = 18;
    static constexpr int SidePanelWidth = 250;
    static constexpr int StripWidth = 200;
    static constexpr int StripHeight = 50;
    static constexpr int CardWidth = 200;
    static constexpr int CardHeight = 250;
    static constexpr int PopupWidth = 200;
    static constexpr int PopupHeight = 300;
    static constexpr int PopupDropMs = 500;
    static constexpr int PopupRetractMs = 300;
    static constexpr int CardDropMs = 1000;
    static constexpr int CardRetractMs = 500;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Slides the camera wall in.
    void showCameraPage();

    // Only the camera wall, over the whole screen: no title bar, no dock; and back.
    void setWallFullScreen(bool fullScreen);
    bool isWallFullScreen() const { return m_wallFullScreen; }

    // Shows the station's feed from now on: the model's state on every page, the station's log
    // in the log boxes (in place of the sample lines) and the client's state in the title bar.
    // The model and the client stay their owner's.
    void setStationFeed(StationModel *model, StationClient *client);
    StationView *stationView() const { return m_stationView; }
    StationFeedIndicator *feedIndicator() const { return m_feedIndicator; }

    // The page a navigation text names: "相机" the camera wall, "图表" the chart page, "NG画面"
    // the moments page, "相机1" to "相机16" the camera detail pages 0 to 15; -1 for any other
    // text.
    static int pageIndexOf(const QString &txt);

    // Shows the moments page with one camera's moments (0: all), opening the one with the id
    // when given.
    void showMoments(int camera, qint64 id = 0);
    MomentArchive *moments() const { return m_moments; }
    // Null until the page is first shown.
    MomentsPage *momentsPage() const { return m_momentsPage; }

    // The question a close of the window asks.
    static QString closeQuestion();

    QMenu *styleMenu() const { return m_styleMenu; }
    LanguageMenu *languageMenu() const { return m_languageMenu; }
    QPushButton *middleButton() const { return m_middleButton; }
    CameraPanel *cameraPanel() const { return m_cameraPanel; }
    ChartPanel *chartPanel() const;
    CStackedWidget *stackedWidget() const { return m_stackedWidget; }
    SidePanel *sidePanel() const { return m_sidePanel; }
    QDockWidget *dockWidget() const { return m_dockWidget; }
    AdditionalWidget *additionalWidget() const { return m_additionalWidget; }
    VideoChannelSet *channels() const { return m_channels; }
    // The window's own wait window, apart from the one that follows the start-up login.
    SetupWaitProgressBar *waitProgressBar();

    // Whether every page and auxiliary window has been built.
    bool isFullyBuilt() const;

    // Where the popup menu and the user card of the given size slide: from the top edge of the
    // user strip (up) to just below it (down), left-aligned with it as far as the screen allows,
    // in global coordinates.
    QPoint slideUpPosition(const QSize &size) const;
    QPoint slideDownPosition(const QSize &size) const;

signals:
    // Everything the window owns has been built (isFullyBuilt()).
    void fullyBuilt();

protected:
    void closeEvent(QCloseEvent *event) override;
    // The popup menu and the user card hang below the strip: they go when the window is
    // minimised or moved, rather than float alone on the desktop.
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Tab and Shift+Tab go through the title bar, the page shown and the docked side panel, each
    // in reading order; the page the stack slid away from is passed by.
    bool focusNextPrevChild(bool next) override;

private slots:
    // Shows the page that the text names; a text that names no page changes nothing.
    void clickedTreeWidget(QString txt);

private:
    void initPages();
    // Gives a camera page its strip of the camera's last NG moments.
    void attachMoments(CameraParam *page, int camera);
    void buildMomentsPage();
    // Builds the next page or auxiliary window not built yet, and asks for another turn
    // while any is left.
    void buildNext();
    // Builds the next auxiliary window not built yet; false when none was left.
    bool buildNextWindow();
    // Binds the page at that index of the stack to its cameras (the wall to all, camera page k
    // to channel k + 1) and tells it whether it is the page shown. Called once for each page,
    // when the page is built.
    void connectPageVideo(int index);
    // Only the page shown asks for pictures: the stack keeps the page it slid away from on
    // screen beside itself.
    void updateActivePage();
    static void setPageActive(QWidget *page, bool active);
    void initStyleMenu();
    void initLanguageMenu();
    // Says that a language chosen in the menu takes effect at the next start.
    void showLanguageNote();
    void initMiddleButton();
    void initDockWidget();
    void initBar();
    void initConnections();
    void showMiddleMessage();
    // Connects one page of the stack to the station feed, when there is one; a page built later
    // is connected when it is built.
    void connectPageToStation(int index);

    void initUserStrip();
    LoginInfo *loginInfo();
    PopupMenu *popupMenu();
    LogWidget *logWidget();
    LoginWidget *loginWidget();
    TableWidget *tableWidget();
    FuncWidget1 *funcWidget();
    void connectUserStrip();
    void closeAuxiliaryWindows();
    void toggleLog();
    void openLogin();
    void togglePopup();
    void openFromPopup(QWidget *window);
    void retractPopup();
    void hideCard();
    void closeStripWindows();
    void dropCard();
    void retractCard();
    // Moves the window from one top-left position to another over the given time; a slide of
    // the same window still running is stopped first, so its end handler never runs.
    void slide(QWidget *window, QPointer<QPropertyAnimation> &current, const QPoint &from,
               const QPoint &to, int durationMs, const std::function<void()> &finished = {});

    // Read once: the window, its auxiliary windows and the close question all show it.
    const QIcon m_logo;
    QWidget *m_centralWidget = nullptr;
    QHBoxLayout *m_mainLayout = nullptr;
    VideoChannelSet *m_channels = nullptr;
    CStackedWidget *m_stackedWidget = nullptr;
    CameraPanel *m_cameraPanel = nullptr;
    ChartPanel *m_chartPanel = nullptr;
    MomentArchive *m_moments = nullptr;
    // Holds the moments page, which is built when it is first shown.
    QWidget *m_momentsHolder = nullptr;
    MomentsPage *m_momentsPage = nullptr;
    int m_pageBeforeMoments = CameraWallPage;
    SidePanel *m_sidePanel = nullptr;
    QDockWidget *m_dockWidget = nullptr;
    QAction *m_styleAction = nullptr;
    QMenu *m_styleMenu = nullptr;
    QAction *m_languageAction = nullptr;
    LanguageMenu *m_languageMenu = nullptr;
    AdditionalWidget *m_additionalWidget = nullptr;
    QPushButton *m_middleButton = nullptr;
    LoginInfo *m_loginInfo = nullptr;
    PopupMenu *m_popupMenu = nullptr;
    LogWidget *m_logWidget = nullptr;
    LoginWidget *m_loginWidget = nullptr;
    SetupWaitProgressBar *m_waitProgressBar = nullptr;
    TableWidget *m_tableWidget = nullptr;
    FuncWidget1 *m_funcWidget = nullptr;
    FrontPressTracker *m_frontPress = nullptr;
    StationView *m_stationView = nullptr;
    StationFeedIndicator *m_feedIndicator = nullptr;
    QPointer<QPropertyAnimation> m_popupSlide;
    QPointer<QPropertyAnimation> m_cardSlide;
    bool m_wallFullScreen = false;
    // How the window was before full screen, to go back to.
    bool m_maximisedBefore = true;
    QRect m_geometryBefore;
    bool m_dockShownBefore = true;
};
