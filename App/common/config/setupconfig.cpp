#include "setupconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QSettings>
#include <QTextCodec>

namespace {

const char *const ThemeKey = "/Config/Theme";
const char *const CameraTypeKey = "/Camera/Type";
const char *const CameraIndexKey = "/Camera/Index";
const char *const IniCodec = "UTF-8";

// Reads an integer the way the store always has (a value that does not convert reads as 0),
// and says so on the logger so that a hand-edited file can be found out.
int readInt(const QSettings &settings, const QString &key, int fallback)
{
    const QVariant raw = settings.value(key, fallback);
    bool ok = false;
    const int value = raw.toInt(&ok);
    if (!ok) {
        qWarning().noquote() << QStringLiteral("SetupConfig: %1 in %2 is not a number (%3); using 0.")
                                    .arg(key, settings.fileName(), raw.toString());
        return 0;
    }
    return value;
}

} // namespace

SetupConfig::SetupConfig() : m_theme(defaultTheme()) {}

QString SetupConfig::defaultTheme()
{
    return QStringLiteral("dark_blue");
}

SetupConfig *SetupConfig::instance()
{
    // Created once and never destroyed: windows torn down at exit may still ask for paths.
    static QBasicAtomicPointer<SetupConfig> self = Q_BASIC_ATOMIC_INITIALIZER(nullptr);
    static QBasicMutex mutex;
    SetupConfig *store = self.loadAcquire();
    if (!store) {
        QMutexLocker locker(&mutex);
        store = self.loadRelaxed();
        if (!store) {
            store = new SetupConfig;
            self.storeRelease(store);
        }
    }
    return store;
}

void SetupConfig::setAppDir(const QString &appDir)
{
    m_appDir = appDir;
    load();
}

QString SetupConfig::configDir() const
{
    return m_appDir + QStringLiteral("/config");
}

QString SetupConfig::iniFilePath() const
{
    return configDir() + QStringLiteral("/SetupConfig.ini");
}

QString SetupConfig::theme() const
{
    return m_theme;
}

void SetupConfig::setTheme(const QString &theme)
{
    m_theme = theme;
    writeValues({{QString::fromLatin1(ThemeKey), theme}});
}

void SetupConfig::setCamera(int type, int index)
{
    m_cameraType = type;
    m_cameraIndex = index;
    writeValues({{QString::fromLatin1(CameraTypeKey), type},
                 {QString::fromLatin1(CameraIndexKey), index}});
}

QPair<int, int> SetupConfig::camera() const
{
    return qMakePair(m_cameraType, m_cameraIndex);
}

void SetupConfig::openSettings(QSettings &settings) const
{
    settings.setIniCodec(IniCodec);
}

bool SetupConfig::writeValues(const QList<QPair<QString, QVariant>> &values)
{
    if (m_appDir.isEmpty()) {
        // No application directory yet: a relative "config" would land in the working directory.
        qWarning("SetupConfig: no application directory set; the change is kept for this run only.");
        return false;
    }
    if (!m_fileUsable) {
        qWarning().noquote() << QStringLiteral(
                                    "SetupConfig: %1 could not be read; it is left as it is and "
                                    "the change is kept for this run only.")
                                    .arg(iniFilePath());
        return false;
    }
    QSettings settings(iniFilePath(), QSettings::IniFormat);
    openSettings(settings);
    for (const auto &entry : values)
        settings.setValue(entry.first, entry.second);
    // QSettings writes through a temporary file and a rename, so a process killed in the middle
    // leaves either the old or the new file, never a truncated one.
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning().noquote() << QStringLiteral("SetupConfig: could not write %1 (status %2); "
                                               "the change is kept for this run only.")
                                    .arg(iniFilePath())
                                    .arg(int(settings.status()));
        return false;
    }
    return true;
}

void SetupConfig::load()
{
    m_fileUsable = true;
    const QStringList dirs{m_appDir, configDir()};
    for (const QString &dir : dirs) {
        if (!QDir(dir).exists() && !QDir().mkpath(dir))
            qWarning().noquote() << QStringLiteral("SetupConfig: cannot create the directory %1.")
                                        .arg(dir);
    }

    QSettings settings(iniFilePath(), QSettings::IniFormat);
    openSettings(settings);
    if (settings.status() == QSettings::FormatError) {
        // A damaged file is the operator's: run on the defaults and leave it for inspection.
        qWarning().noquote() << QStringLiteral("SetupConfig: %1 is not a readable INI file; "
                                               "running on the defaults and leaving it untouched.")
                                    .arg(iniFilePath());
        m_fileUsable = false;
        return;
    }

    const QString themeKey = QString::fromLatin1(ThemeKey);
    const QString typeKey = QString::fromLatin1(CameraTypeKey);
    const QString indexKey = QString::fromLatin1(CameraIndexKey);

    if (QFileInfo::exists(iniFilePath())) {
        if (!settings.contains(themeKey))
            settings.setValue(themeKey, m_theme);
        if (!settings.contains(typeKey))
            settings.setValue(typeKey, m_cameraType);
        if (!settings.contains(indexKey))
            settings.setValue(indexKey, m_cameraIndex);

        m_theme = settings.value(themeKey, m_theme).toString();
        m_cameraType = readInt(settings, typeKey, m_cameraType);
        m_cameraIndex = readInt(settings, indexKey, m_cameraIndex);
    } else {
        settings.setValue(themeKey, m_theme);
        settings.setValue(typeKey, m_cameraType);
        settings.setValue(indexKey, m_cameraIndex);
    }

    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning().noquote() << QStringLiteral("SetupConfig: could not write %1 (status %2); "
                                               "running on the values in memory.")
                                    .arg(iniFilePath())
                                    .arg(int(settings.status()));
}
