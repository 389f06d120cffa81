#include "runtimefolder.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "common/singleinstance/platformuser.h"

namespace
{

const char *const RuntimeVariable = "XDG_RUNTIME_DIR";

} // namespace

RuntimeFolder::Verdict RuntimeFolder::judge(const QString &path, uid_t uid)
{
    struct stat info {
    };
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return Verdict::Missing;
    if (!S_ISDIR(info.st_mode))
        return Verdict::NotAFolder;
    if (info.st_uid != uid)
        return Verdict::ForeignOwner;
    if ((info.st_mode & 07777) != PrivateMode)
        return Verdict::WrongMode;
    return Verdict::Private;
}

QString RuntimeFolder::describe(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Private:
        return QStringLiteral("private");
    case Verdict::Missing:
        return QStringLiteral("missing");
    case Verdict::NotAFolder:
        return QStringLiteral("not a folder");
    case Verdict::ForeignOwner:
        return QStringLiteral("owned by another user");
    case Verdict::WrongMode:
        return QStringLiteral("not of mode 0700");
    }
    return QString();
}

QString RuntimeFolder::temporaryFallback()
{
    QString user = PlatformUser::systemUserName();
    if (user.isEmpty())
        user = QString::number(::geteuid());
    return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/runtime-") + user;
}

bool RuntimeFolder::make(const QString &path)
{
    if (path.isEmpty())
        return false;
    // The mode is given at creation: there is no moment at which the folder is open to others.
    if (::mkdir(QFile::encodeName(path).constData(), PrivateMode) != 0 && errno != EEXIST) {
        qWarning().noquote() << QStringLiteral("UniqueApplication: Unable to create %1: %2")
                                    .arg(path, qt_error_string(errno));
        return false;
    }
    const Verdict verdict = judge(path, ::geteuid());
    if (verdict == Verdict::Private)
        return true;
    qWarning().noquote() << QStringLiteral("UniqueApplication: Refusing the folder %1: %2.")
                                .arg(path, describe(verdict));
    return false;
}

QString RuntimeFolder::locate()
{
    const QString runtime = qEnvironmentVariable(RuntimeVariable);
    if (!runtime.isEmpty()) {
        const Verdict verdict = judge(runtime, ::geteuid());
        if (verdict == Verdict::Private)
            return QDir::cleanPath(runtime);
        qWarning().noquote() << QStringLiteral("UniqueApplication: %1 (%2) is %3; using the "
                                               "temporary folder instead.")
                                    .arg(QLatin1String(RuntimeVariable), runtime,
                                         describe(verdict));
    }
    const QString fallback = temporaryFallback();
    return make(fallback) ? fallback : QString();
}
