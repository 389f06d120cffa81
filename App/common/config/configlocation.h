#pragma once

#include <QString>

// Where the console keeps its files. A console run from its build folder, or from any folder
// with a writable "config" beside the executable, keeps everything there. An installed console
// reads its themes and pictures from the installed data folder and keeps its INI file in the
// user's configuration folder, since the program's own folders are not the user's to write.
class ConfigLocation
{
public:
    // Themes and pictures: "<dataDir>/style/<theme>/style.css", "<dataDir>/image/...".
    QString dataDir;
    // The folder of "SetupConfig.ini".
    QString iniDir;

    // The rule itself, on the folders given: the executable's folder, the installed data folder
    // and the user's configuration folder.
    static ConfigLocation resolve(const QString &appDir, const QString &installedDataDir,
                                  const QString &userConfigDir);
    // The rule for this process: the data folder where the installation puts it relative to
    // the executable, and QStandardPaths' configuration folder of the application.
    static ConfigLocation forApplication(const QString &appDir);
    static QString installedDataDir(const QString &appDir);
};
