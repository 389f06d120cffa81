#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "common/singleinstance/instanceprotocol.h"
#include "common/singleinstance/uniqueapplication.h"

class InstanceClient;
class InstanceServer;
class SharedBlock;

// The guard's decisions: which folder holds its files, what the shared record says about a
// running primary, and so what this process becomes. The record, the primary's server and the
// connection to the primary are units of their own.
class UniqueApplicationPrivate : public QObject
{
    Q_OBJECT

public:
    // What became of this process. HandedOver: a primary runs and has been told of this start,
    // and this process is to end. Failed: the block could be neither created nor attached.
    enum class Role { Primary, Secondary, HandedOver, Unguarded, Failed };

    static constexpr int RelistenAttempts = 3;
    static constexpr int InconsistentBlockTimeout = 5000;

    UniqueApplicationPrivate(UniqueApplication *application, UniqueApplication::Mode options,
                             const QString &extra);
    ~UniqueApplicationPrivate() override;

    Role start(bool allowSecondary, int timeout);

    bool isPrimary() const { return m_server != nullptr; }
    quint32 instanceId() const { return m_instanceId; }
    QStringList extraHashData() const { return m_extraHashData; }
    qint64 primaryProcessId() const;
    QString primaryUserName() const;
    bool sendMessageToPrimary(const QByteArray &message, int timeout);
    // The shared block's error code and text; null without a block.
    QString blockError() const;

private:
    Q_DISABLE_COPY(UniqueApplicationPrivate)

    // The folder of the socket, lock and key files for the scope of the options; false when no
    // private one can be had.
    bool locateFolder();
    // Leaves the block alone for good: this process runs without the single-instance guarantee.
    void runUnguarded(const QString &reason);
    // Block locked: waits until no writer is halfway through the record. False when the lock was
    // lost on the way.
    bool awaitConsistentBlock();
    void unlockBlock(const char *failureLine);
    void becomePrimary();
    void becomeSecondary();
    bool connectToPrimaryInstance(int timeout, InstanceProtocol::ConnectionType kind);
    void slotSocketFileLost();

    UniqueApplication *m_application = nullptr;
    UniqueApplication::Mode m_options;
    QStringList m_extraHashData;
    QString m_blockName;
    QString m_folder;
    // The full path of the local socket: the folder followed by the block name.
    QString m_serverName;
    quint32 m_instanceId = 0;
    std::unique_ptr<SharedBlock> m_block;
    std::unique_ptr<InstanceClient> m_client;
    // Only in the primary.
    std::unique_ptr<InstanceServer> m_server;
};
