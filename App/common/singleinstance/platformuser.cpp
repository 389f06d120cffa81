#include "platformuser.h"

#include <QtGlobal>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace
{

const char *const UserNameVariable = "USERNAME";
constexpr long FallbackPasswdBufferSize = 16384;

} // namespace

QString PlatformUser::currentUserName()
{
    return chooseUserName(systemUserName(), qEnvironmentVariable(UserNameVariable));
}

QString PlatformUser::chooseUserName(const QString &systemName, const QString &environmentName)
{
    return systemName.isEmpty() ? environmentName : systemName;
}

QString PlatformUser::systemUserName()
{
    // getpwuid_r rather than getpwuid: the static result of getpwuid is not ours to keep.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = FallbackPasswdBufferSize;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd entry{};
    passwd *result = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) != 0 || !result ||
        !result->pw_name)
        return QString();
    return QString::fromLocal8Bit(result->pw_name);
}
