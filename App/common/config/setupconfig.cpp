#include "setupconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QSettings>

#include <algorithm>

#include "common/credentials.h"

namespace
{

const QString ThemeKey = QStringLiteral("/Config/Theme");
const QString CameraTypeKey = QStringLiteral("/Camera/Type");
const QString CameraIndexKey = QStringLiteral("/Camera/Index");
const char *const IniCodec = "UTF-8";

// Reads an integer the way the store always has (a value that does not convert reads as 0),
// and says so on the logger so that a hand-edited file can be found out.
int readInt(const QSettings &settings, const QString &key, int fallback)
{
    const QVariant raw = settings.value(key, fallback);
    bool ok = false;
    // Through the text: QVariant::toInt narrows a 64-bit number without a word, so a hand-edited
    // 4294967302 would read as 6.
    const int value = raw.toString().toInt(&ok);
    if (!ok) {
        qWarning().noquote() << QStringLiteral(
                                    "SetupConfig: %1 in %2 is not a number (%3); using 0.")
                                    .arg(key, settings.fileName(), raw.toString());
        return 0;
    }
    return value;
}

// The first damaged file keeps the plain backup name; later ones are numbered, so that none
// replaces another.
QString freeBackupName(const QString &file)
{
    const QString first = file + QStringLiteral(".damaged");
    QString name = first;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = first + QLatin1Char('.') + QString::number(n);
    return name;
}

// Keys as QSettings lists them: without the leading "/".
QString plainKey(const QString &key)
{
    return key.startsWith(QLatin1Char('/')) ? key.mid(1) : key;
}

// What QSettings made of a damaged line is not an entry worth carrying into the clean file.
bool isPrintableKey(const QString &key)
{
    return std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.isPrint(); });
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
    m_location = ConfigLocation::forApplication(appDir);
    load();
}

QString SetupConfig::configDir() const
{
    return m_location.dataDir;
}

QString SetupConfig::logoPath() const
{
    return configDir() + QStringLiteral("/image/logo.ico");
}

QString SetupConfig::loginBackgroundPath() const
{
    return configDir() + QStringLiteral("/image/login/1.png");
}

QString SetupConfig::avatarPath() const
{
    return configDir() + QStringLiteral("/image/fries.png");
}

QString SetupConfig::iniFilePath() const
{
    return m_location.iniDir + QStringLiteral("/SetupConfig.ini");
}

QString SetupConfig::theme() const
{
    return m_theme;
}

void SetupConfig::setTheme(const QString &theme)
{
    m_theme = theme;
    writeValues({{ThemeKey, theme}});
}

void SetupConfig::setCamera(int type, int index)
{
    m_cameraType = type;
    m_cameraIndex = index;
    writeValues({{CameraTypeKey, type}, {CameraIndexKey, index}});
}

QPair<int, int> SetupConfig::camera() const
{
    return qMakePair(m_cameraType, m_cameraIndex);
}

QVariant SetupConfig::value(const QString &key, const QVariant &fallback) const
{
    return m_values.value(plainKey(key), fallback);
}

bool SetupConfig::contains(const QString &key) const
{
    return m_values.contains(plainKey(key));
}

QStringList SetupConfig::keysOf(const QString &section) const
{
    const QString prefix = plainKey(section) + QLatin1Char('/');
    QStringList keys;
    for (auto it = m_values.lowerBound(prefix); it != m_values.cend(); ++it) {
        if (!it.key().startsWith(prefix))
            break;
        const QString rest = it.key().mid(prefix.size());
        if (!rest.contains(QLatin1Char('/')))
            keys << rest;
    }
    return keys;
}

void SetupConfig::setValue(const QString &key, const QVariant &value)
{
    writeValues({{key, value}});
}

bool SetupConfig::holdsSecret() const
{
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        if (Credentials::isSecretEntry(it.key(), it.value().toString()))
            return true;
    }
    return false;
}

void SetupConfig::protectSecrets() const
{
    const QString file = iniFilePath();
    if (!holdsSecret() || !QFileInfo::exists(file))
        return;
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    if (!(QFile::permissions(file) & others))
        return;
    if (!QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        qWarning().noquote() << QStringLiteral("SetupConfig: %1 holds a password and cannot be "
                                               "made private to its owner.")
                                    .arg(file);
}

bool SetupConfig::lockWriters(QLockFile &lock) const
{
    // QSettings guards its writes with "<file>.lock". A writer killed between creating that file
    // and filling it in leaves an empty one, which QSettings only breaks after 30 s, with the GUI
    // waiting. Only one console runs per user, so an old lock file here is a leftover.
    lock.setStaleLockTime(StaleLockMs);
    return lock.tryLock(2 * StaleLockMs);
}

void SetupConfig::clearStaleLock() const
{
    const QString lockPath = iniFilePath() + QStringLiteral(".lock");
    if (!QFileInfo::exists(lockPath))
        return;
    QLockFile lock(lockPath);
    if (lockWriters(lock))
        lock.unlock();
}

void SetupConfig::clearLeftovers() const
{
    // QSettings writes "<file>.XXXXXX" and renames it over the file; a writer killed in between
    // leaves it behind. Writers hold the lock file from before making it until after the rename,
    // so while this process holds the lock, every such file is a leftover.
    const QFileInfo ini(iniFilePath());
    const QString pattern = ini.fileName() + QStringLiteral(".??????");
    const QDir dir = ini.absoluteDir();
    if (dir.entryList({pattern}, QDir::Files | QDir::Hidden).isEmpty())
        return;
    QLockFile lock(iniFilePath() + QStringLiteral(".lock"));
    if (!lockWriters(lock)) {
        qWarning().noquote() << QStringLiteral("SetupConfig: %1 is being written by another "
                                               "process; unfinished copies are left alone.")
                                    .arg(ini.filePath());
        return;
    }
    static const QRegularExpression randomPart(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    const QStringList leftovers = dir.entryList({pattern}, QDir::Files | QDir::Hidden);
    for (const QString &name : leftovers) {
        if (!randomPart.match(name).hasMatch())
            continue;
        if (QFile::remove(dir.filePath(name)))
            qInfo().noquote() << QStringLiteral("SetupConfig: removed %1, left by a write that "
                                                "did not finish.")
                                     .arg(dir.filePath(name));
    }
}

void SetupConfig::writeValues(const QList<QPair<QString, QVariant>> &values)
{
    for (const auto &entry : values) {
        if (entry.second.isValid())
            m_values.insert(plainKey(entry.first), entry.second);
        else
            m_values.remove(plainKey(entry.first));
    }
    if (m_appDir.isEmpty()) {
        // No application directory yet: the path would be "/config" at the file system root.
        qWarning(
            "SetupConfig: no application directory set; the change is kept for this run only.");
        return;
    }
    if (!m_fileUsable) {
        qWarning().noquote() << QStringLiteral("SetupConfig: %1 is damaged and left as it is; "
                                               "the change is kept for this run only.")
                                    .arg(iniFilePath());
        return;
    }
    clearStaleLock();
    // Before the write as well: the file that replaces this one takes its permissions.
    protectSecrets();
    QSettings settings(iniFilePath(), QSettings::IniFormat);
    settings.setIniCodec(IniCodec);
    for (const auto &entry : values) {
        if (entry.second.isValid())
            settings.setValue(entry.first, entry.second);
        else
            settings.remove(entry.first);
    }
    // QSettings writes through a temporary file and a rename, so a process killed in the middle
    // leaves either the old or the new file, never a truncated one.
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning().noquote() << QStringLiteral("SetupConfig: could not write %1 (status %2); "
                                               "the change is kept for this run only.")
                                    .arg(iniFilePath(), QString::number(int(settings.status())));
    }
    protectSecrets();
}

void SetupConfig::load()
{
    // A load starts from the defaults, whatever an earlier load of another folder found.
    m_fileUsable = true;
    m_theme = defaultTheme();
    m_cameraType = DefaultCameraType;
    m_cameraIndex = DefaultCameraIndex;
    m_values.clear();

    if (!QDir(m_location.iniDir).exists() && !QDir().mkpath(m_location.iniDir))
        qWarning().noquote() << QStringLiteral("SetupConfig: cannot create the directory %1.")
                                    .arg(m_location.iniDir);

    const QString file = iniFilePath();
    clearLeftovers();

    // Keys found in the file; a missing one is written back with the value in force.
    QStringList present;
    bool damaged = false;
    if (QFileInfo::exists(file)) {
        QSettings settings(file, QSettings::IniFormat);
        settings.setIniCodec(IniCodec);
        // Sections are parsed as they are first read; status() tells about the format of the
        // whole file only once all of them have been.
        settings.allKeys();
        damaged = settings.status() == QSettings::FormatError;
        for (const QString &key : {ThemeKey, CameraTypeKey, CameraIndexKey}) {
            if (settings.contains(key))
                present << key;
        }
        m_theme = settings.value(ThemeKey, m_theme).toString();
        m_cameraType = readInt(settings, CameraTypeKey, m_cameraType);
        m_cameraIndex = readInt(settings, CameraIndexKey, m_cameraIndex);
        const QStringList keys = settings.allKeys();
        for (const QString &key : keys) {
            if (!damaged || isPrintableKey(key))
                m_values.insert(key, settings.value(key));
        }
    }

    if (damaged) {
        // Rewriting a damaged file in place would drop whatever QSettings could not parse. Keep
        // the operator's file as a backup and go on with a clean one holding the values read.
        const QString backup = freeBackupName(file);
        if (QFile::rename(file, backup)) {
            qWarning().noquote() << QStringLiteral("SetupConfig: %1 is damaged; kept as %2 and "
                                                   "rewritten with the values in force.")
                                        .arg(file, backup);
            // The clean file keeps every entry read, known to this store or not.
            present.clear();
            QList<QPair<QString, QVariant>> kept;
            for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
                const QString key = QLatin1Char('/') + it.key();
                if (key != ThemeKey && key != CameraTypeKey && key != CameraIndexKey)
                    kept.append({key, it.value()});
            }
            if (!kept.isEmpty())
                writeValues(kept);
        } else {
            qWarning().noquote() << QStringLiteral("SetupConfig: %1 is damaged and cannot be "
                                                   "moved aside; it is left as it is.")
                                        .arg(file);
            m_fileUsable = false;
            return;
        }
    }

    QList<QPair<QString, QVariant>> missing;
    if (!present.contains(ThemeKey))
        missing.append({ThemeKey, m_theme});
    if (!present.contains(CameraTypeKey))
        missing.append({CameraTypeKey, m_cameraType});
    if (!present.contains(CameraIndexKey))
        missing.append({CameraIndexKey, m_cameraIndex});
    if (!missing.isEmpty())
        writeValues(missing);
    else
        protectSecrets();
}
