#pragma once

#include <QMap>
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

    // The entries of other parts of the console ("Channel01/Source", "Station/Broker", ...): as
    // the file held them at start-up, with the changes made since. A subsystem reads its own keys
    // through its own settings unit; the store keeps every entry of the file, known or not, when
    // it writes or repairs it.
    QVariant value(const QString &key, const QVariant &fallback = QVariant()) const;
    bool contains(const QString &key) const;
    // The names of the entries in a section ("Channel01" -> "Source", "Name").
    QStringList keysOf(const QString &section) const;
    // Writes the entry at once (an invalid value removes it). A file that holds a password is
    // readable by its owner only.
    void setValue(const QString &key, const QVariant &value);

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
    // Makes the file private when an entry in force holds a secret.
    void protectSecrets() const;
    bool holdsSecret() const;

    QString m_appDir;
    ConfigLocation m_location;
    QString m_theme;
    int m_cameraType = DefaultCameraType;
    int m_cameraIndex = DefaultCameraIndex;
    // Every entry of the file, by its key without a leading "/", as in force.
    QMap<QString, QVariant> m_values;
    // False while a damaged file could not be moved aside: it is the operator's, so it is kept.
    bool m_fileUsable = true;
};
