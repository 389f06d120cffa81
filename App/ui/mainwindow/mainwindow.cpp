#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>

#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "fancytitlebar.h"
#include "language/translations.h"
#include "moments/momentarchive.h"
#include "moments/momentsettings.h"
#include "moments/momentstore.h"
#include "platform/windowmaximizer.h"
#include "platform/windowplacement.h"
#include "platform/windowraiser.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/camera/funcwidget1.h"
#include "ui/camera/tablewidget.h"
#include "ui/camera/wallcontroller.h"
#include "ui/chart/chartpanel.h"
#include "ui/common/additionalwidget.h"
#include "ui/common/cmessagebox.h"
#include "ui/common/hoverreset.h"
#include "ui/common/iconhelper.h"
#include "ui/common/popupmenu.h"
#include "ui/login/logininfo.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/floatingdockkeeper.h"
#include "ui/mainwindow/frontpresstracker.h"
#include "ui/mainwindow/languagemenu.h"
#include "ui/mainwindow/logwidget.h"
#include "ui/mainwindow/readingorder.h"
#include "ui/mainwindow/sidepanel.h"
#include "ui/mainwindow/treewidget.h"
#include "ui/moments/capturewarning.h"
#include "ui/moments/momentspage.h"
#include "ui/moments/momentstrip.h"
#include "ui/station/stationfeedindicator.h"
#include "ui/station/stationview.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"
#include "ui/widgets/setupwaitprogressbar.h"
#include "video/videochannelset.h"

namespace
{

constexpr int StyleIconPixelSize = 30;
constexpr int StyleIconSide = 35;
const QColor StyleIconColor(0xFE, 0xFE, 0xFE);
const QString CameraWallText = QString::fromUtf8(TreeWidget::CameraWallItem);
const QString ChartText = QString::fromUtf8(TreeWidget::ChartItem);
// The camera items' text without its number.
const QString CameraText = QString::fromUtf8(TreeWidget::CameraItem).remove(QStringLiteral("%1"));
const QString MomentsText = QString::fromUtf8(TreeWidget::MomentsItem);

// Makes a window that has the main window as parent stay above it and be minimised with it: the
// window manager keeps a dialog above the window it is transient for, and a window of the plain
// window type is not told which window that is.
void tieToWindow(QWidget *window)
{
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : FancyWindow(parent), m_logo(SetupConfig::instance()->logoPath())
{
    m_moments = new MomentArchive(MomentStore::defaultFolder(), MomentSettings::read(), this);
    initPages();
    initStyleMenu();
    initLanguageMenu();
    initUserStrip();
    initMiddleButton();
    initDockWidget();
    initBar();
    setWindowTitle(tr("windowName"));
    setWindowIcon(m_logo);
    initConnections();
    connectUserStrip();
    // The rest is built once the window has painted its first frame.
    installEventFilter(this);
}

MainWindow::~MainWindow()
{
    // The menu and most auxiliary windows have no parent widget; they go with the window.
    delete m_styleMenu;
    delete m_languageMenu;
    delete m_loginInfo;
    delete m_popupMenu;
    delete m_logWidget;
    delete m_loginWidget;
    delete m_waitProgressBar;
    delete m_tableWidget;
    delete m_funcWidget;
}

void MainWindow::initPages()
{
    m_centralWidget = new QWidget;
    m_mainLayout = new QHBoxLayout;
    m_mainLayout->setSpacing(0);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_channels = VideoChannelSet::fromStore(*SetupConfig::instance(), this);
    m_moments->useChannels(m_channels);
    m_stackedWidget = new CStackedWidget;
    m_cameraPanel = new CameraPanel;
    // Pages that the stack builds later are wired as they are built.
    connect(m_stackedWidget, &CStackedWidget::widgetBuilt, this, [this](int index) {
        connectPageVideo(index);
        connectPageToStation(index);
    });

    for (int k = 0; k < CameraPageCount; ++k) {
        m_stackedWidget->addLazyWidget([this, k] {
            auto *page = new CameraParam;
            page->setIndex(QStringLiteral("C%1").arg(k + 1, 2, 10, QLatin1Char('0')));
            page->setTitle(tr("Unkown"));
            attachMoments(page, k + 1);
            return page;
        });
    }
    m_stackedWidget->addWidget(m_cameraPanel);
    connectPageVideo(CameraWallPage);
    m_stackedWidget->addLazyWidget([] { return new ChartPanel; });
    m_cameraPanel->addNotice(new CaptureWarning(m_moments->store()));
    // The moments page itself is built when first shown.
    m_momentsHolder = new QWidget;
    m_momentsHolder->setLayout(new QHBoxLayout);
    m_momentsHolder->layout()->setContentsMargins(0, 0, 0, 0);
    m_stackedWidget->addWidget(m_momentsHolder);

    m_mainLayout->addWidget(m_stackedWidget);
    m_centralWidget->setLayout(m_mainLayout);
}

void MainWindow::attachMoments(CameraParam *page, int camera)
{
    auto *strip = new MomentStrip(m_moments, camera);
    connect(strip, &MomentStrip::openRequested, this, &MainWindow::showMoments);
    page->addStrip(strip);
}

void MainWindow::buildMomentsPage()
{
    if (m_momentsPage)
        return;
    m_momentsPage = new MomentsPage(m_moments);
    m_momentsHolder->layout()->addWidget(m_momentsPage);
    connect(m_momentsPage, &MomentsPage::closed, this,
            [this] { m_stackedWidget->setCurrentIndex(m_pageBeforeMoments); });
}

void MainWindow::showMoments(int camera, qint64 id)
{
    buildMomentsPage();
    m_momentsPage->showCamera(camera, id);
    m_stackedWidget->setCurrentIndex(MomentPage);
}

void MainWindow::connectPageVideo(int index)
{
    QWidget *page = m_stackedWidget->widget(index);
    if (auto *camera = qobject_cast<CameraParam *>(page))
        camera->bindChannel(index + 1, m_channels->channel(index + 1));
    else if (auto *wall = qobject_cast<CameraPanel *>(page))
        wall->setChannels(m_channels);
    setPageActive(page, index == m_stackedWidget->currentIndex());
}

void MainWindow::updateActivePage()
{
    const int current = m_stackedWidget->currentIndex();
    for (int i = 0; i < m_stackedWidget->count(); ++i) {
        // A page not built yet is made active when it is built.
        if (m_stackedWidget->isBuilt(i))
            setPageActive(m_stackedWidget->widget(i), i == current);
    }
}

ChartPanel *MainWindow::chartPanel() const
{
    return qobject_cast<ChartPanel *>(m_stackedWidget->widget(ChartPage));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::Paint) {
        removeEventFilter(this);
        // After this paint pass has ended.
        QTimer::singleShot(0, this, &MainWindow::buildNext);
    }
    return FancyWindow::eventFilter(watched, event);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    const QList<QWidget *> chain =
        ReadingOrder::chain(this, {fancyBar(), m_centralWidget, m_dockWidget});
    QWidget *target = ReadingOrder::step(chain, QApplication::focusWidget(), next);
    if (!target)
        return FancyWindow::focusNextPrevChild(next);
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void MainWindow::buildNext()
{
    // One at a time, so that input and the start slide keep their turns in between.
    if (!m_stackedWidget->buildNextPage() && !buildNextWindow()) {
        emit fullyBuilt();
        return;
    }
    QTimer::singleShot(0, this, &MainWindow::buildNext);
}

bool MainWindow::buildNextWindow()
{
    if (!m_loginInfo)
        loginInfo();
    else if (!m_popupMenu)
        popupMenu();
    else if (!m_logWidget)
        logWidget();
    else if (!m_loginWidget)
        loginWidget();
    else if (!m_tableWidget)
        tableWidget();
    else if (!m_funcWidget)
        funcWidget();
    else if (!m_waitProgressBar)
        waitProgressBar();
    else
        return false;
    return true;
}

bool MainWindow::isFullyBuilt() const
{
    for (int i = 0; i < m_stackedWidget->count(); ++i) {
        if (!m_stackedWidget->isBuilt(i))
            return false;
    }
    return m_loginInfo && m_popupMenu && m_logWidget && m_loginWidget && m_tableWidget &&
           m_funcWidget && m_waitProgressBar;
}

void MainWindow::setPageActive(QWidget *page, bool active)
{
    if (auto *camera = qobject_cast<CameraParam *>(page))
        camera->setActive(active);
    else if (auto *wall = qobject_cast<CameraPanel *>(page))
        wall->setActive(active);
}

void MainWindow::initStyleMenu()
{
    const QPixmap glyph =
        IconHelper::instance()->glyphPixmap(StyleIconColor, QChar(StyleGlyph), StyleIconPixelSize,
                                            StyleIconSide, StyleIconSide, Qt::AlignCenter);
    m_styleAction = new QAction(QIcon(glyph), tr("style"), this);
    fancyBar()->addAdditionalControl(m_styleAction, FancyBar::LeadingPosition);

    m_styleMenu = new QMenu;
    // The menu owns its actions and takes them along when it goes. The action carries the
    // theme's folder name, so a translated label still loads the right theme.
    const QStringList themes = ThemeManager::themeNames();
    for (const QString &theme : themes)
        m_styleMenu->addAction(ThemeManager::displayName(theme))->setData(theme);
    m_styleAction->setMenu(m_styleMenu);
}

void MainWindow::initLanguageMenu()
{
    const QPixmap glyph = IconHelper::instance()->glyphPixmap(StyleIconColor, QChar(LanguageGlyph),
                                                              StyleIconPixelSize, StyleIconSide,
                                                              StyleIconSide, Qt::AlignCenter);
    m_languageAction = new QAction(QIcon(glyph), tr("语言"), this);
    fancyBar()->addAdditionalControl(m_languageAction, FancyBar::LeadingPosition);
    m_languageMenu = new LanguageMenu;
    m_languageAction->setMenu(m_languageMenu);
    connect(m_languageMenu, &LanguageMenu::chosen, this,
            [this](const QString &, const QString &language) {
                if (language != Translations::installedLanguage())
                    showLanguageNote();
            });
}

void MainWindow::showLanguageNote()
{
    // Not modal to the program: the operator reads it and carries on.
    auto *box = new CMessageBox(this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("LanguageNote"));
    box->setMessageType(CMessageBox::Information);
    box->setButtonType(CMessageBox::ConfirmOnly);
    box->setMessageText(tr("所选的语言将在程序下次启动时生效。"));
    box->setWindowIcon(m_logo);
    box->open();
}

void MainWindow::initMiddleButton()
{
    m_middleButton = new QPushButton(tr("ClickMe"));
    m_middleButton->setFixedSize(MiddleButtonWidth, MiddleButtonHeight);
    m_middleButton->setObjectName(QStringLiteral("MainWindowMiddleButton"));
    fancyBar()->setWidgetInMiddle(m_middleButton);
    connect(m_middleButton, &QPushButton::clicked, this, &MainWindow::showMiddleMessage);
}

void MainWindow::initDockWidget()
{
    m_sidePanel = new SidePanel;
    m_sidePanel->setFixedWidth(SidePanelWidth);
    m_dockWidget = new QDockWidget(tr("相机"), this);
    m_dockWidget->setObjectName(QStringLiteral("SidePanelDockWidget"));
    m_dockWidget->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_dockWidget->setWidget(m_sidePanel);
    addDockWidget(Qt::RightDockWidgetArea, m_dockWidget);
    // Movable and floatable, but never closed: nothing would bring it back.
    m_dockWidget->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    new FloatingDockKeeper(m_dockWidget);
}

void MainWindow::initBar()
{
    setCentralWidget(m_centralWidget);
    fancyBar()->setFixedHeight(TitleBarHeight);
    fancyBar()->setTitleBarHeight(TitleBarHeight);
    fancyBar()->setLogoButtonIconSize(QSize(LogoIconSize, LogoIconSize));
}

void MainWindow::initConnections()
{
    connect(m_styleMenu, &QMenu::triggered, this,
            [](QAction *action) { ThemeManager::applyTheme(action->data().toString()); });
    HoverReset::afterMenu(m_styleMenu, fancyBar());
    HoverReset::afterMenu(m_languageMenu, fancyBar());
    connect(m_sidePanel, &SidePanel::signalClicked, this, &MainWindow::clickedTreeWidget);
    connect(m_cameraPanel->wall(), &WallController::fullScreenRequested, this,
            &MainWindow::setWallFullScreen);
    connect(m_stackedWidget, &CStackedWidget::currentChanged, this, [this](int page) {
        if (page == MomentPage)
            buildMomentsPage();
        else
            m_pageBeforeMoments = page;
    });
    connect(m_stackedWidget, &CStackedWidget::currentChanged, this, &MainWindow::updateActivePage);
}

void MainWindow::showMiddleMessage()
{
    QMessageBox box;
    box.setText(tr("What are you talking about?"));
    box.exec();
}

void MainWindow::showCameraPage()
{
    m_stackedWidget->setCurrentIndex(CameraWallPage);
}

void MainWindow::setWallFullScreen(bool fullScreen)
{
    if (m_wallFullScreen == fullScreen)
        return;
    m_wallFullScreen = fullScreen;
    m_cameraPanel->wall()->setFullScreen(fullScreen);
    if (fullScreen) {
        m_maximisedBefore = isMaximized();
        m_geometryBefore = geometry();
        m_dockShownBefore = m_dockWidget->isVisible();
        m_stackedWidget->setCurrentIndex(CameraWallPage);
        fancyBar()->hide();
        m_dockWidget->hide();
        WindowMaximizer::showFullScreen(this);
        // The keys that leave (Escape among them) reach the wall wherever the focus was.
        m_cameraPanel->setFocus(Qt::OtherFocusReason);
        return;
    }
    fancyBar()->show();
    m_dockWidget->setVisible(m_dockShownBefore);
    if (m_maximisedBefore) {
        WindowMaximizer::showMaximized(this);
    } else {
        showNormal();
        setGeometry(m_geometryBefore);
    }
}

void MainWindow::setStationFeed(StationModel *model, StationClient *client)
{
    if (m_stationView || !model)
        return;
    m_stationView = new StationView(model, client, this);
    m_feedIndicator = new StationFeedIndicator;
    fancyBar()->addAdditionalControl(m_feedIndicator, FancyBar::LeadingPosition);
    m_stationView->attachFeedIndicator(m_feedIndicator);
    // The log window gets the station's lines when it is built.
    if (m_logWidget)
        m_stationView->attachLog(m_logWidget->logTextEdit());
    for (int index = 0; index < m_stackedWidget->count(); ++index) {
        if (m_stackedWidget->isBuilt(index))
            connectPageToStation(index);
    }
}

void MainWindow::connectPageToStation(int index)
{
    if (!m_stationView)
        return;
    QWidget *page = m_stackedWidget->widget(index);
    if (index < CameraPageCount) {
        if (auto *cameraPage = qobject_cast<CameraParam *>(page)) {
            m_stationView->attachCameraPage(index + 1, cameraPage);
            m_stationView->attachLog(cameraPage->logTextEdit());
        }
    } else if (page == m_cameraPanel) {
        m_stationView->attachCameraWall(m_cameraPanel);
    } else if (auto *chart = qobject_cast<ChartPanel *>(page)) {
        m_stationView->attachChartPage(chart);
        m_stationView->attachLog(chart->logTextEdit());
    }
}

int MainWindow::pageIndexOf(const QString &txt)
{
    if (txt == CameraWallText)
        return CameraWallPage;
    if (txt == ChartText)
        return ChartPage;
    if (txt == MomentsText)
        return MomentPage;
    if (!txt.contains(CameraText))
        return -1;
    // A failed conversion gives 0, which names no page either.
    const int n = QString(txt).remove(CameraText).toInt(nullptr, 10) - 1;
    return n >= 0 && n < CameraPageCount ? n : -1;
}

void MainWindow::clickedTreeWidget(QString txt)
{
    const int page = pageIndexOf(txt);
    if (page >= 0)
        m_stackedWidget->setCurrentIndex(page);
}

void MainWindow::initUserStrip()
{
    m_frontPress = new FrontPressTracker(this);
    m_additionalWidget = new AdditionalWidget;
    m_additionalWidget->setFixedSize(StripWidth, StripHeight);
    fancyBar()->addAdditionalControl(m_additionalWidget, FancyBar::LeadingPosition);
}

LoginInfo *MainWindow::loginInfo()
{
    if (!m_loginInfo) {
        m_loginInfo = new LoginInfo;
        m_loginInfo->setFixedSize(CardWidth, CardHeight);
        m_loginInfo->hide();
        m_loginInfo->setWindowFlags(m_loginInfo->windowFlags() | Qt::WindowStaysOnTopHint);
    }
    return m_loginInfo;
}

PopupMenu *MainWindow::popupMenu()
{
    if (!m_popupMenu) {
        m_popupMenu = new PopupMenu;
        m_popupMenu->setFixedSize(PopupWidth, PopupHeight);
        m_popupMenu->hide();
        m_popupMenu->setWindowFlags(m_popupMenu->windowFlags() | Qt::WindowStaysOnTopHint);
        connect(m_popupMenu, &PopupMenu::clicked1, this, [this] { openFromPopup(funcWidget()); });
        connect(m_popupMenu, &PopupMenu::clicked2, this, [this] { openFromPopup(tableWidget()); });
        connect(m_popupMenu, &PopupMenu::clickedReturn, this, &MainWindow::retractPopup);
    }
    return m_popupMenu;
}

LogWidget *MainWindow::logWidget()
{
    if (!m_logWidget) {
        // Transient for this window, instead of dropping behind it at the next click on it.
        m_logWidget = new LogWidget(this);
        tieToWindow(m_logWidget);
        // It is minimised with this window; the window manager would ignore a minimise of its
        // own.
        m_logWidget->fancyBar()->titleBar()->hideMinimizeButton();
        m_logWidget->setWindowIcon(m_logo);
        m_logWidget->setWindowTitle(tr("日志"));
        m_logWidget->hide();
        if (m_stationView)
            m_stationView->attachLog(m_logWidget->logTextEdit());
    }
    return m_logWidget;
}

LoginWidget *MainWindow::loginWidget()
{
    if (!m_loginWidget) {
        m_loginWidget = new LoginWidget(this);
        tieToWindow(m_loginWidget);
        m_loginWidget->setBackgroundImage(SetupConfig::instance()->loginBackgroundPath());
        m_loginWidget->hide();
        connect(m_loginWidget, &LoginWidget::loggedIn, m_loginWidget, &QWidget::hide);
        // The form has no close button: "返回" is the way back without logging in.
        connect(m_loginWidget, &LoginWidget::signalReturn, m_loginWidget, &QWidget::hide);
    }
    return m_loginWidget;
}

SetupWaitProgressBar *MainWindow::waitProgressBar()
{
    if (!m_waitProgressBar)
        m_waitProgressBar = new SetupWaitProgressBar;
    return m_waitProgressBar;
}

TableWidget *MainWindow::tableWidget()
{
    if (!m_tableWidget) {
        m_tableWidget = new TableWidget;
        m_tableWidget->setWindowIcon(m_logo);
        m_tableWidget->setWindowTitle(tr("表格"));
        m_tableWidget->hide();
    }
    return m_tableWidget;
}

FuncWidget1 *MainWindow::funcWidget()
{
    if (!m_funcWidget) {
        m_funcWidget = new FuncWidget1;
        m_funcWidget->setWindowIcon(m_logo);
        m_funcWidget->hide();
    }
    return m_funcWidget;
}

void MainWindow::connectUserStrip()
{
    connect(m_additionalWidget, &AdditionalWidget::logInfo, this, &MainWindow::toggleLog);
    connect(m_additionalWidget, &AdditionalWidget::loginInfo, this, &MainWindow::openLogin);
    connect(m_additionalWidget, &AdditionalWidget::menuInfo, this, &MainWindow::togglePopup);
    connect(m_additionalWidget, &AdditionalWidget::enterHead, this, &MainWindow::dropCard);
    connect(m_additionalWidget, &AdditionalWidget::leaveHead, this, &MainWindow::retractCard);
}

QPoint MainWindow::slideDownPosition(const QSize &size) const
{
    // Mapped from the strip itself: the bar, not this window, is the strip's parent.
    const QRect strip(m_additionalWidget->mapToGlobal(QPoint(0, 0)), m_additionalWidget->size());
    return WindowPlacement::position(strip, WindowPlacement::Anchor::BelowAnchor,
                                     WindowPlacement::availableGeometryAt(strip.center()), size);
}

QPoint MainWindow::slideUpPosition(const QSize &size) const
{
    return QPoint(slideDownPosition(size).x(), m_additionalWidget->mapToGlobal(QPoint(0, 0)).y());
}

void MainWindow::slide(QWidget *window, QPointer<QPropertyAnimation> &current, const QPoint &from,
                       const QPoint &to, int durationMs, const std::function<void()> &finished)
{
    if (current)
        current->stop();
    // A child of the window it moves: freed with it even when the program ends mid-slide.
    auto *animation = new QPropertyAnimation(window, "geometry", window);
    animation->setStartValue(QRect(from, window->size()));
    animation->setEndValue(QRect(to, window->size()));
    animation->setDuration(durationMs);
    if (finished)
        connect(animation, &QPropertyAnimation::finished, this, finished);
    current = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

// The button hides the window only when the operator could see it; an open window that was
// covered comes to the front instead.
void MainWindow::toggleLog()
{
    LogWidget *log = logWidget();
    if (log->isVisible() && m_frontPress->wasInFront()) {
        log->hide();
        return;
    }
    if (!log->isVisible())
        WindowPlacement::place(log, m_additionalWidget->logButton(),
                               WindowPlacement::Anchor::BelowAnchor);
    WindowRaiser::bringToFront(log);
}

void MainWindow::openLogin()
{
    LoginWidget *login = loginWidget();
    if (!login->isVisible())
        WindowPlacement::place(login, this, WindowPlacement::Anchor::CentredOnAnchor);
    login->showLogin();
    WindowRaiser::bringToFront(login);
}

void MainWindow::openFromPopup(QWidget *window)
{
    if (m_popupSlide)
        m_popupSlide->stop();
    popupMenu()->hide();
    m_popupMenu->setOpened(false);
    if (!window->isVisible())
        WindowPlacement::place(window, this, WindowPlacement::Anchor::CentredOnAnchor);
    window->show();
}

void MainWindow::togglePopup()
{
    PopupMenu *popup = popupMenu();
    // Closed by the window manager (Alt+F4), it is no longer open, whatever it last did.
    if (!popup->isVisible())
        popup->setOpened(false);
    const QPoint up = slideUpPosition(popup->size());
    popup->move(up);
    m_popupMenu->show();
    if (m_popupMenu->isOpened()) {
        retractPopup();
        return;
    }
    m_popupMenu->setOpened(true);
    // Both hang below the strip: the card would cover the popup's buttons.
    hideCard();
    slide(m_popupMenu, m_popupSlide, up, slideDownPosition(m_popupMenu->size()), PopupDropMs);
}

void MainWindow::retractPopup()
{
    if (!m_popupMenu || !m_popupMenu->isOpened())
        return;
    m_popupMenu->setOpened(false);
    slide(m_popupMenu, m_popupSlide, slideDownPosition(m_popupMenu->size()),
          slideUpPosition(m_popupMenu->size()), PopupRetractMs, [this] { m_popupMenu->hide(); });
}

void MainWindow::dropCard()
{
    if (loginInfo()->isShown() || (m_popupMenu && m_popupMenu->isOpened()))
        return;
    m_loginInfo->setShown(true);
    m_loginInfo->setAnimating(true);
    const QPoint up = slideUpPosition(m_loginInfo->size());
    m_loginInfo->move(up);
    m_loginInfo->show();
    slide(m_loginInfo, m_cardSlide, up, slideDownPosition(m_loginInfo->size()), CardDropMs, [this] {
        m_loginInfo->setAnimating(false);
        // The pointer left the avatar while the card came down.
        if (!m_additionalWidget->isHeadUnderMouse()) {
            m_loginInfo->hide();
            m_loginInfo->setShown(false);
        }
    });
}

void MainWindow::retractCard()
{
    if (!m_loginInfo || !m_loginInfo->isShown() || m_loginInfo->isAnimating())
        return;
    slide(m_loginInfo, m_cardSlide, slideDownPosition(m_loginInfo->size()),
          slideUpPosition(m_loginInfo->size()), CardRetractMs, [this] {
              m_loginInfo->hide();
              m_loginInfo->setShown(false);
          });
}

void MainWindow::hideCard()
{
    if (m_cardSlide)
        m_cardSlide->stop();
    // Neither exists before it is first needed.
    if (!m_loginInfo)
        return;
    m_loginInfo->hide();
    m_loginInfo->setShown(false);
    m_loginInfo->setAnimating(false);
}

void MainWindow::closeStripWindows()
{
    if (m_popupSlide)
        m_popupSlide->stop();
    if (m_popupMenu) {
        m_popupMenu->hide();
        m_popupMenu->setOpened(false);
    }
    hideCard();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        closeStripWindows();
    FancyWindow::changeEvent(event);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    closeStripWindows();
    FancyWindow::moveEvent(event);
}

QString MainWindow::closeQuestion()
{
    return tr("确认关闭程序?");
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    CMessageBox box(this);
    box.setMessageType(CMessageBox::Warning);
    box.setButtonType(CMessageBox::ConfirmAndCancel);
    box.setMessageText(closeQuestion());
    box.setWindowIcon(m_logo);
    if (box.exec() != QDialog::Accepted) {
        event->ignore();
        return;
    }
    closeAuxiliaryWindows();
    event->accept();
}

// Every one of them: a window left open would keep the program running, invisible without its
// main window, and holding the single-instance guard.
void MainWindow::closeAuxiliaryWindows()
{
    // One not built yet was never opened.
    const QList<QWidget *> windows = {m_popupMenu,   m_logWidget, m_loginWidget, m_waitProgressBar,
                                      m_tableWidget, m_loginInfo, m_funcWidget};
    for (QWidget *window : windows) {
        if (window)
            window->close();
    }
}
