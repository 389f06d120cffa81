#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include "common/singleinstance/instanceprotocol.h"

class QLocalSocket;

// A later instance's connection to the primary: it greets the primary once and then sends
// messages, waiting for the acknowledgement of every frame. All waits are bounded by the
// caller's timeout.
class InstanceClient
{
public:
    static constexpr int RandomWaitMinMs = 8;
    static constexpr int RandomWaitEndMs = 18;

    // serverName: the primary's socket; blockName: what the greeting names.
    InstanceClient(const QString &serverName, const QString &blockName);
    ~InstanceClient();

    // Connects and greets the primary, unless connected already.
    bool connectToPrimary(int timeout, InstanceProtocol::ConnectionType kind, quint32 instanceId);
    bool writeAcknowledgedMessage(int timeout, const QByteArray &body);

    // Spreads out instances that act at the same moment: starts that reach for the block, and
    // attempts to reach the primary.
    static void randomWait();

private:
    Q_DISABLE_COPY(InstanceClient)

    bool writeAcknowledgedFrame(int timeout, const QByteArray &bytes);

    QString m_serverName;
    QString m_blockName;
    std::unique_ptr<QLocalSocket> m_socket;
};
