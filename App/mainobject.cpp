#include "mainobject.h"

#include <QApplication>
#include <QDebug>
#include <QFile>

#include "common/config/setupconfig.h"
#include "ui/common/windowmaximizer.h"
#include "ui/common/windowraiser.h"
#include "ui/mainwindow/mainwindow.h"

MainObject::MainObject(QObject *parent) : QObject(parent)
{
    createWindows();
    connectWindows();
}

MainObject::~MainObject()
{
    delete m_mainWindow;
}

void MainObject::createWindows()
{
    m_mainWindow = new MainWindow;
}

void MainObject::connectWindows() {}

void MainObject::showMainWindow()
{
    WindowMaximizer::showMaximized(m_mainWindow);
    m_mainWindow->showCameraPage();
}

void MainObject::raiseMainWindow()
{
    WindowRaiser::bringToFront(m_mainWindow);
}

QString MainObject::themeFilePath(const QString &themeName)
{
    // Both at once: a "%1" in the folder's own path must not take the theme name.
    return QStringLiteral("%1/style/%2/style.css")
        .arg(SetupConfig::instance()->configDir(), themeName);
}

bool MainObject::applyTheme(const QString &themeName)
{
    // A theme is the name of one folder under config/style; a hand-edited name must not reach
    // files elsewhere.
    if (themeName.isEmpty() || themeName.contains(QLatin1Char('/'))
        || themeName.contains(QLatin1Char('\\')) || themeName == QLatin1String(".")
        || themeName == QLatin1String("..")) {
        qWarning().noquote() << QStringLiteral("Theme name \"%1\" is not a folder name; "
                                               "keeping the current style sheet.")
                                    .arg(themeName);
        return false;
    }
    QFile file(themeFilePath(themeName));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("Theme style sheet %1 cannot be read (%2); "
                                               "keeping the current style sheet.")
                                    .arg(file.fileName(), file.errorString());
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    file.close();
    return true;
}
