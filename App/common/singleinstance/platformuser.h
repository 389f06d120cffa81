#pragma once

#include <QString>

// The name of the user this process runs as, for the per-user instance name and the block
// record. Linux has no GetUserNameW: the password database stands in for it, with the
// environment variable "USERNAME" as the fallback when the database has no entry for us.
class PlatformUser
{
public:
    static QString currentUserName();

    // The decision rule on its own: the system's answer when it gave one, else the environment's.
    static QString chooseUserName(const QString &systemName, const QString &environmentName);

    // The password database's name for the effective user id; empty when there is none.
    static QString systemUserName();

private:
    PlatformUser() = delete;
};
