#include "instanceclient.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QRandomGenerator64>
#include <QThread>

namespace
{

int remainingTime(int timeout, const QElapsedTimer &timer)
{
    // Never negative: a negative wait means "forever" to the socket functions.
    return int(qMax<qint64>(0, timeout - timer.elapsed()));
}

} // namespace

InstanceClient::InstanceClient(const QString &serverName, const QString &blockName)
    : m_serverName(serverName), m_blockName(blockName), m_socket(std::make_unique<QLocalSocket>())
{
}

InstanceClient::~InstanceClient()
{
    m_socket->close();
}

void InstanceClient::randomWait()
{
    QThread::msleep(static_cast<unsigned long>(
        QRandomGenerator64::global()->bounded(RandomWaitMinMs, RandomWaitEndMs)));
}

bool InstanceClient::connectToPrimary(int timeout, InstanceProtocol::ConnectionType kind,
                                      quint32 instanceId)
{
    QElapsedTimer timer;
    timer.start();
    if (m_socket->state() == QLocalSocket::ConnectedState)
        return true;

    for (;;) {
        randomWait();
        if (m_socket->state() != QLocalSocket::ConnectingState)
            m_socket->connectToServer(m_serverName, QIODevice::ReadWrite);
        if (m_socket->state() == QLocalSocket::ConnectingState)
            m_socket->waitForConnected(remainingTime(timeout, timer));
        if (m_socket->state() == QLocalSocket::ConnectedState)
            break;
        if (timer.elapsed() >= timeout)
            return false;
    }

    return writeAcknowledgedMessage(
        remainingTime(timeout, timer),
        InstanceProtocol::encodeInitBody(m_blockName, kind, instanceId));
}

bool InstanceClient::writeAcknowledgedMessage(int timeout, const QByteArray &body)
{
    QElapsedTimer timer;
    timer.start();
    if (!writeAcknowledgedFrame(remainingTime(timeout, timer),
                                InstanceProtocol::encodeFrameHeader(quint64(body.size()))))
        return false;
    return writeAcknowledgedFrame(remainingTime(timeout, timer), body);
}

bool InstanceClient::writeAcknowledgedFrame(int timeout, const QByteArray &bytes)
{
    m_socket->write(bytes);
    m_socket->flush();
    // Waiting for the answer also writes whatever the socket could not take at once. The
    // answer may be here already: an empty frame is taken together with its header.
    if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(timeout)) {
        // Where the primary stands in this frame is unknown now; a late acknowledgement would
        // be taken for the next frame's. The next message starts on a fresh connection.
        m_socket->abort();
        return false;
    }
    char ack = 0;
    m_socket->getChar(&ack);
    return true;
}
