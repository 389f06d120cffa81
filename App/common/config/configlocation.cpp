#include "configlocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{

// Whether a folder could be made at the path: the nearest part of it that exists is a folder
// this user may write.
bool canCreate(const QString &path)
{
    QString probe = QDir::cleanPath(path);
    while (!QFileInfo::exists(probe) && !QFileInfo(probe).isSymLink()) {
        const QString parent = QFileInfo(probe).path();
        if (parent == probe)
            return false;
        probe = parent;
    }
    const QFileInfo info(probe);
    return info.isDir() && info.isWritable();
}

} // namespace

ConfigLocation ConfigLocation::resolve(const QString &appDir, const QString &installedDataDir,
                                       const QString &userConfigDir)
{
    const QString beside = appDir + QStringLiteral("/config");
    const QFileInfo besideInfo(beside);
    if (besideInfo.isDir())
        return {beside, besideInfo.isWritable() ? beside : userConfigDir};
    if (QFileInfo(installedDataDir).isDir())
        return {installedDataDir, userConfigDir};
    // A first start in a folder of its own makes the config folder there, as it always has.
    if (canCreate(beside))
        return {beside, beside};
    return {beside, userConfigDir};
}

ConfigLocation ConfigLocation::forApplication(const QString &appDir)
{
    return resolve(appDir, installedDataDir(appDir),
                   QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString ConfigLocation::installedDataDir(const QString &appDir)
{
    return QDir::cleanPath(appDir + QStringLiteral("/" CONSOLE_DATA_FROM_BIN));
}
