#pragma once

#include <QStringList>

// Loads the theme style sheets: "<configDir>/style/<theme>/style.css" set on the whole
// application. Start-up, the main window's theme menu and the tests share it.
class ThemeManager
{
public:
    // The themes the console ships, in the order of the theme menu; the first is the default.
    static QStringList themeNames();
    // The name the theme menu shows for a theme: its folder name, or the name's translation.
    static QString displayName(const QString &themeName);

    // "<configDir>/style/<theme>/style.css"
    static QString themeFilePath(const QString &themeName);

    // Sets the theme's style sheet on the whole application. A theme whose file cannot be read
    // leaves the current style sheet in force; returns whether the style sheet was set.
    static bool applyTheme(const QString &themeName);

    // A theme name as the log quotes it: a hand-edited name may be of any length.
    static QString loggedName(const QString &themeName);

private:
    ThemeManager() = delete;
};
