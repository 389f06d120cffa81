#pragma once

#include <QString>
#include <QStringList>

#include "common/singleinstance/uniqueapplication.h"

// Everything that makes up the identity of the program for the block name.
struct BlockIdentity {
    QString applicationName;
    QString organizationName;
    QString organizationDomain;
    QStringList extraHashData;
    QString applicationVersion;
    QString applicationFilePath;
    QString userName;
};

// The name that the instances of one program share: the key of the shared block and the file
// name of the primary's socket. It is a digest of the program's identity, so that instances of
// different programs (or versions, or users, as the mode says) never meet.
class BlockName
{
public:
    static QString compute(const BlockIdentity &identity, UniqueApplication::Mode options);

    // The identity of the running program, with the extra strings given to the guard.
    static BlockIdentity applicationIdentity(const QStringList &extraHashData);

    // Where the socket and the block's key file of blockName live in folder. The key file keeps
    // the name Qt derives from the block name.
    static QString serverPath(const QString &folder, const QString &blockName);
    static QString keyFilePath(const QString &folder, const QString &blockName);

private:
    BlockName() = delete;
};
