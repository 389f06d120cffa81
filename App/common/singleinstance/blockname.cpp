#include "blockname.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSharedMemory>

#include <cstring>

#include "common/singleinstance/platformuser.h"

namespace
{

const char *const HashSeed = "UniqueApplication";

} // namespace

QString BlockName::compute(const BlockIdentity &identity, UniqueApplication::Mode options)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(HashSeed, int(std::strlen(HashSeed)));
    hash.addData(identity.applicationName.toUtf8());
    hash.addData(identity.organizationName.toUtf8());
    hash.addData(identity.organizationDomain.toUtf8());
    if (!identity.extraHashData.isEmpty())
        hash.addData(identity.extraHashData.join(QString()).toUtf8());
    if (!options.testFlag(UniqueApplication::IgnoreAppVersion))
        hash.addData(identity.applicationVersion.toUtf8());
    if (!options.testFlag(UniqueApplication::IgnoreAppPath))
        hash.addData(identity.applicationFilePath.toLower().toUtf8());
    if (options.testFlag(UniqueApplication::PerUser))
        hash.addData(identity.userName.toUtf8());

    // "/" cannot appear in a file name; the socket and the key file are files.
    return QString::fromLatin1(hash.result().toBase64().replace('/', '_'));
}

BlockIdentity BlockName::applicationIdentity(const QStringList &extraHashData)
{
    BlockIdentity identity;
    identity.applicationName = QCoreApplication::applicationName();
    identity.organizationName = QCoreApplication::organizationName();
    identity.organizationDomain = QCoreApplication::organizationDomain();
    identity.extraHashData = extraHashData;
    identity.applicationVersion = QCoreApplication::applicationVersion();
    identity.applicationFilePath = QCoreApplication::applicationFilePath();
    identity.userName = PlatformUser::currentUserName();
    return identity;
}

QString BlockName::serverPath(const QString &folder, const QString &blockName)
{
    return folder + QLatin1Char('/') + blockName;
}

QString BlockName::keyFilePath(const QString &folder, const QString &blockName)
{
    return serverPath(folder, QFileInfo(QSharedMemory(blockName).nativeKey()).fileName());
}
