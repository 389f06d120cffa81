#include "mainwindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "common/config/setupconfig.h"
#include "fancybar.h"
#include "ui/camera/camerapanel.h"
#include "ui/common/iconhelper.h"
#include "ui/common/thememanager.h"

namespace {

constexpr int StyleIconPixelSize = 30;
constexpr int StyleIconSide = 35;
const QColor StyleIconColor(0xFE, 0xFE, 0xFE);

} // namespace

MainWindow::MainWindow(QWidget *parent) : FancyWindow(parent)
{
    initPages();
    initStyleMenu();
    initMiddleButton();
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
    // The camera wall is the window's page until the page stack takes it over.
    m_cameraPanel = new CameraPanel;
    m_mainLayout->addWidget(m_cameraPanel);
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
}

void MainWindow::showMiddleMessage()
{
    QMessageBox box;
    box.setText(QStringLiteral("What are you talking about?"));
    box.exec();
}

void MainWindow::showCameraPage() {}
