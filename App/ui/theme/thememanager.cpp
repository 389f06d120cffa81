#include "thememanager.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QPixmapCache>

#include "common/config/setupconfig.h"

namespace
{

constexpr int LoggedNameLength = 64;

// The themes' folder names, which the theme menu shows translated.
const char *const Themes[] = {
    QT_TRANSLATE_NOOP("ThemeManager", "dark_blue"),
    QT_TRANSLATE_NOOP("ThemeManager", "dark_green"),
    QT_TRANSLATE_NOOP("ThemeManager", "dark_yellow_green"),
    QT_TRANSLATE_NOOP("ThemeManager", "light_blue"),
    QT_TRANSLATE_NOOP("ThemeManager", "light_green"),
};

} // namespace

QStringList ThemeManager::themeNames()
{
    QStringList names;
    for (const char *theme : Themes)
        names << QLatin1String(theme);
    return names;
}

QString ThemeManager::displayName(const QString &themeName)
{
    return QCoreApplication::translate("ThemeManager", themeName.toUtf8().constData());
}

QString ThemeManager::themeFilePath(const QString &themeName)
{
    // Both at once: a "%1" in the folder's own path must not take the theme name.
    return QStringLiteral("%1/style/%2/style.css")
        .arg(SetupConfig::instance()->configDir(), themeName);
}

QString ThemeManager::loggedName(const QString &themeName)
{
    if (themeName.size() <= LoggedNameLength)
        return themeName;
    return QStringLiteral("%1... (%2 characters)")
        .arg(themeName.left(LoggedNameLength))
        .arg(themeName.size());
}

bool ThemeManager::applyTheme(const QString &themeName)
{
    // A theme is the name of one folder under config/style; a hand-edited name must not reach
    // files elsewhere.
    if (themeName.isEmpty() || themeName.contains(QLatin1Char('/')) ||
        themeName.contains(QLatin1Char('\\')) || themeName == QLatin1String(".") ||
        themeName == QLatin1String("..")) {
        qWarning().noquote() << QStringLiteral("Theme name \"%1\" is not a folder name; "
                                               "keeping the current style sheet.")
                                    .arg(loggedName(themeName));
        return false;
    }
    QFile file(themeFilePath(themeName));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << QStringLiteral("Theme \"%1\" has no readable style sheet under "
                                               "%2/style (%3); keeping the current style sheet.")
                                    .arg(loggedName(themeName),
                                         SetupConfig::instance()->configDir(), file.errorString());
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    // What Qt cached for the old theme (icons and style drawings under the old palette) is
    // never asked for again; kept, it piles up with every change of a console that runs for
    // weeks.
    QPixmapCache::clear();
    return true;
}
