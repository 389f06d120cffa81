#pragma once

// What later instances send to the primary, written down independently of the guard's own
// encoder, and the messages the single-instance tests send.
#include <QByteArray>
#include <QtEndian>

namespace
{

inline QByteArray patternMessage(int size)
{
    QByteArray message(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        message[i] = char((i * 131 + 7) & 0xFF);
    return message;
}

inline QByteArray frameHeader(quint64 length)
{
    QByteArray header(8, Qt::Uninitialized);
    qToBigEndian(length, header.data());
    return header;
}

inline QByteArray initBody(const QByteArray &name, quint8 kind, quint32 id, int checksumDelta = 0)
{
    QByteArray body(4, Qt::Uninitialized);
    qToBigEndian(quint32(name.size()), body.data());
    body += name;
    body += char(kind);
    QByteArray idBytes(4, Qt::Uninitialized);
    qToBigEndian(id, idBytes.data());
    body += idBytes;
    const quint16 checksum =
        quint16(qChecksum(body.constData(), uint(body.size())) + checksumDelta);
    QByteArray checksumBytes(2, Qt::Uninitialized);
    qToBigEndian(checksum, checksumBytes.data());
    return body + checksumBytes;
}

inline QByteArray frame(const QByteArray &body)
{
    return frameHeader(quint64(body.size())) + body;
}

} // namespace
