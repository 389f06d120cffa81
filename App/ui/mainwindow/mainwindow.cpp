#include "mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/chartpanel.h"
#include "ui/common/iconhelper.h"
#include "ui/common/thememanager.h"
#include "ui/mainwindow/cstackedwidget.h"
#include "ui/mainwindow/sidepanel.h"

namespace {

constexpr int StyleIconPixelSize = 30;
constexpr int StyleIconSide = 35;
const QColor StyleIconColor(0xFE, 0xFE, 0xFE);
const QString CameraText = QStringLiteral("相机");
const QString ChartText = QStringLiteral("图表");

} // namespace

MainWindow::MainWindow(QWidget *parent) : FancyWindow(parent)
{
    initPages();
    initStyleMenu();
    initMiddleButton();
    initDockWidget();
    initBar();
    setWindowTitle(tr("windowName"));
    setWindowIcon(QIcon(logoPath()));
    initConnections();
}

MainWindow::~MainWindow()
{
    // The menu has no parent widget; it goes with the window.
    delete m_styleMenu;
}

QString MainWindow::logoPath()
{
    return SetupConfig::instance()->configDir() + QStringLiteral("/image/logo.ico");
}

void MainWindow::initPages()
{
    m_centralWidget = new QWidget;
    m_mainLayout = new QHBoxLayout;
    m_mainLayout->setSpacing(0);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_stackedWidget = new CStackedWidget;
    m_cameraPanel = new CameraPanel;
    m_chartPanel = new ChartPanel;

    for (int k = 0; k < CameraPageCount; ++k) {
        auto *page = new CameraParam;
        page->setIndex(QStringLiteral("C%1").arg(k + 1, 2, 10, QLatin1Char('0')));
        page->setTitle(QStringLiteral("Unkown"));
        m_stackedWidget->addWidget(page);
    }
    m_stackedWidget->addWidget(m_cameraPanel);
    m_stackedWidget->addWidget(m_chartPanel);

    m_mainLayout->addWidget(m_stackedWidget);
    m_centralWidget->setLayout(m_mainLayout);
}

void MainWindow::initStyleMenu()
{
    const QPixmap glyph = IconHelper::instance()->glyphPixmap(
        StyleIconColor, QChar(StyleGlyph), StyleIconPixelSize, StyleIconSide, StyleIconSide,
        Qt::AlignCenter);
    m_styleAction = new QAction(QIcon(glyph), QStringLiteral("style"), this);
    fancyBar()->addAdditionalControl(m_styleAction, FancyBar::LeadingPosition);

    m_styleMenu = new QMenu;
    // The menu owns its actions and takes them along when it goes. The action carries the
    // theme's folder name, so a translated label still loads the right theme.
    const QStringList themes = ThemeManager::themeNames();
    for (const QString &theme : themes)
        m_styleMenu->addAction(tr(qPrintable(theme)))->setData(theme);
    m_styleAction->setMenu(m_styleMenu);
}

void MainWindow::initMiddleButton()
{
    m_middleButton = new QPushButton(QStringLiteral("ClickMe"));
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
    connect(m_sidePanel, &SidePanel::signalClicked, this, &MainWindow::clickedTreeWidget);
}

void MainWindow::showMiddleMessage()
{
    QMessageBox box;
    box.setText(QStringLiteral("What are you talking about?"));
    box.exec();
}

void MainWindow::showCameraPage()
{
    m_stackedWidget->setCurrentIndex(CameraWallPage);
}

int MainWindow::pageIndexOf(const QString &txt)
{
    if (txt == CameraText)
        return CameraWallPage;
    if (txt == ChartText)
        return ChartPage;
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
