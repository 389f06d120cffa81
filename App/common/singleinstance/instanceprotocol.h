#pragma once

#include <QByteArray>
#include <QString>

class QDataStream;
class QIODevice;

// What a later instance and the primary say on the local socket. Every frame is its length
// (quint64, big-endian) followed by that many bytes, and the primary answers the length and the
// bytes with one Ack each. The first body on a connection is the greeting (the init body): the
// block name, the kind of connection, the sender's instance id and a checksum; later bodies are
// messages.
class InstanceProtocol
{
public:
    enum ConnectionType : quint8 {
        InitNewInstance = 1,
        InitSecondaryInstance = 2,
        InitReconnect = 3,
    };

    static constexpr int StreamVersion = 17; // QDataStream::Qt_5_6
    static constexpr qint64 FrameHeaderSize = 8;
    static constexpr char Ack = '\n';
    // A real init body is 55 bytes; anything announcing more than this is not one of ours.
    static constexpr quint64 MaxInitBodyLength = 1024;
    // Messages are held whole in memory before they are handed on.
    static constexpr quint64 MaxMessageLength = 64 * 1024 * 1024;

    static QByteArray encodeFrameHeader(quint64 length);
    // Reads one frame header from device, which must hold FrameHeaderSize bytes at least.
    static bool readFrameHeader(QIODevice *device, quint64 *length);

    static QByteArray encodeInitBody(const QString &blockName, quint8 kind, quint32 instanceId);
    // Fills kind and instanceId when the body is a well-formed init message for blockName, of
    // any kind: a kind that announces nothing still opens the connection for messages.
    static bool decodeInitBody(const QByteArray &body, const QString &blockName, quint8 *kind,
                               quint32 *instanceId);

private:
    InstanceProtocol() = delete;

    static QDataStream &configure(QDataStream &stream);
};
