#pragma once

#include <QPointer>

#include <functional>

#include "fancywindow.h"

class AdditionalWidget;
class CameraPanel;
class FuncWidget1;
class LogWidget;
class LoginInfo;
class LoginWidget;
class PopupMenu;
class QAction;
class QHBoxLayout;
class QMenu;
class QPropertyAnimation;
class QPushButton;
class SetupWaitProgressBar;
class TableWidget;

// The console's frameless main window: title bar with the theme menu, the user strip and the
// middle button, and the pages in the centre. It owns the auxiliary windows that the strip
// opens (user card, popup menu, log, login form, demo windows) and asks before closing.
class MainWindow : public FancyWindow
{
    Q_OBJECT

public:
    static constexpr int TitleBarHeight = 50;
    static constexpr int LogoIconSize = 40;
    static constexpr int MiddleButtonWidth = 100;
    static constexpr int MiddleButtonHeight = 30;
    static constexpr int StyleGlyph = 0xF001;
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

    void showCameraPage();

    QMenu *styleMenu() const { return m_styleMenu; }
    QPushButton *middleButton() const { return m_middleButton; }
    CameraPanel *cameraPanel() const { return m_cameraPanel; }
    AdditionalWidget *additionalWidget() const { return m_additionalWidget; }

    // Where the popup menu and the user card slide: from the top-left corner of the user strip
    // (up) to just below it (down), in global coordinates.
    QPoint slideUpPosition() const;
    QPoint slideDownPosition() const;

    // "<configDir>/image/logo.ico"
    static QString logoPath();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void initPages();
    void initStyleMenu();
    void initMiddleButton();
    void initBar();
    void initConnections();
    void showMiddleMessage();

    void initUserStrip();
    void initAuxiliaryWindows();
    void connectUserStrip();
    void closeAuxiliaryWindows();
    void toggleLog();
    void togglePopup();
    void openFromPopup(QWidget *window);
    void retractPopup();
    void dropCard();
    void retractCard();
    // Moves the window from one top-left position to another over the given time; a slide of
    // the same window still running is stopped first, so its end handler never runs.
    void slide(QWidget *window, QPointer<QPropertyAnimation> &current, const QPoint &from,
               const QPoint &to, int durationMs, const std::function<void()> &finished = {});

    QWidget *m_centralWidget = nullptr;
    QHBoxLayout *m_mainLayout = nullptr;
    CameraPanel *m_cameraPanel = nullptr;
    QAction *m_styleAction = nullptr;
    QMenu *m_styleMenu = nullptr;
    AdditionalWidget *m_additionalWidget = nullptr;
    QPushButton *m_middleButton = nullptr;
    LoginInfo *m_loginInfo = nullptr;
    PopupMenu *m_popupMenu = nullptr;
    LogWidget *m_logWidget = nullptr;
    LoginWidget *m_loginWidget = nullptr;
    SetupWaitProgressBar *m_waitProgressBar = nullptr;
    TableWidget *m_tableWidget = nullptr;
    FuncWidget1 *m_funcWidget = nullptr;
    QPointer<QPropertyAnimation> m_popupSlide;
    QPointer<QPropertyAnimation> m_cardSlide;
};
