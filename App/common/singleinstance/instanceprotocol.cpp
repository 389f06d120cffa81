#include "instanceprotocol.h"

#include <QDataStream>
#include <QIODevice>

static_assert(InstanceProtocol::StreamVersion == QDataStream::Qt_5_6,
              "the wire format is fixed to stream version 17");

QDataStream &InstanceProtocol::configure(QDataStream &stream)
{
    stream.setVersion(StreamVersion);
    return stream;
}

QByteArray InstanceProtocol::encodeFrameHeader(quint64 length)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    configure(out);
    out << length;
    return header;
}

bool InstanceProtocol::readFrameHeader(QIODevice *device, quint64 *length)
{
    QDataStream in(device);
    configure(in);
    in >> *length;
    return in.status() == QDataStream::Ok;
}

QByteArray InstanceProtocol::encodeInitBody(const QString &blockName, quint8 kind,
                                            quint32 instanceId)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    configure(out);
    out << blockName.toLatin1() << kind << instanceId;
    out << qChecksum(body.constData(), uint(body.size()));
    return body;
}

bool InstanceProtocol::decodeInitBody(const QByteArray &body, const QString &blockName,
                                      quint8 *kind, quint32 *instanceId)
{
    if (body.size() < int(sizeof(quint16)))
        return false;
    QDataStream in(body);
    configure(in);
    QByteArray name;
    quint8 connectionType = 0;
    quint32 id = 0;
    quint16 checksum = 0;
    in >> name >> connectionType >> id >> checksum;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    if (name != blockName.toLatin1())
        return false;
    if (checksum != qChecksum(body.constData(), uint(body.size()) - sizeof(quint16)))
        return false;
    *kind = connectionType;
    *instanceId = id;
    return true;
}
