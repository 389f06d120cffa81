#pragma once

#include <QPair>
#include <QString>
#include <QVariant>

// The process-wide configuration store: the application directory, the folder "config" beside
// it, and three settings mirrored in "config/SetupConfig.ini" (theme, camera layout type and
// camera layout index). Every write goes to disk at once.
class SetupConfig
{
public:
    static constexpr int DefaultCameraType = 16;
    static constexpr int DefaultCameraIndex = 0;

    static SetupConfig *instance();

    void setAppDir(const QString &appDir);
    QString configDir() const;
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

    void clearStaleLock() const;
    void writeValues(const QList<QPair<QString, QVariant>> &values);

    QString m_appDir;
    QString m_theme;
    int m_cameraType = DefaultCameraType;
    int m_cameraIndex = DefaultCameraIndex;
    // False while a damaged file could not be moved aside: it is the operator's, so it is kept.
    bool m_fileUsable = true;
};
