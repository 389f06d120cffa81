#pragma once

#include <QPair>
#include <QString>
#include <QVariant>

#include "configlocation.h"

class QLockFile;

// The process-wide configuration store: the application directory, the folders that
// ConfigLocation derives from it, and three settings mirrored in "SetupConfig.ini" (theme, camera
// layout type and camera layout index). Every write goes to disk at once.
class SetupConfig
{
public:
    static constexpr int DefaultCameraType = 16;
    static constexpr int DefaultCameraIndex = 0;

    static SetupConfig *instance();

    void setAppDir(const QString &appDir);
    // The folder of the themes and pictures.
    QString configDir() const;
    // The station's pictures in it: the windows' icon, the login forms' background, the avatar.
    QString logoPath() const;
    QString loginBackgroundPath() const;
    QString avatarPath() const;
    QString iniFilePath() const;

    QString theme() const;
    void setTheme(const QString &theme);

    void setCamera(int type, int index);
    QPair<int, int> camera() const;

    void load();

    // The defaults of a new store; a store never goes back to them by itself.
    static QString defaultTheme();

private:
    SetupConfig();
    Q_DISABLE_COPY(SetupConfig)

    static constexpr int StaleLockMs = 1000;

    // Holds the writers' lock file, breaking one left by a killed writer; false if another
    // process keeps it.
    bool lockWriters(QLockFile &lock) const;
    void clearStaleLock() const;
    void clearLeftovers() const;
    void writeValues(const QList<QPair<QString, QVariant>> &values);

    QString m_appDir;
    ConfigLocation m_location;
    QString m_theme;
    int m_cameraType = DefaultCameraType;
    int m_cameraIndex = DefaultCameraIndex;
    // False while a damaged file could not be moved aside: it is the operator's, so it is kept.
    bool m_fileUsable = true;
};
