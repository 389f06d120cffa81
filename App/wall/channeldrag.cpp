#include "channeldrag.h"

#include <QMimeData>

#include "wall/wallarrangement.h"

QString ChannelDrag::mimeType()
{
    return QStringLiteral("application/x-inspection-console-channel");
}

QMimeData *ChannelDrag::mimeData(int channel)
{
    auto *data = new QMimeData;
    data->setData(mimeType(), QByteArray::number(channel));
    return data;
}

int ChannelDrag::channelOf(const QMimeData *data)
{
    if (!data || !data->hasFormat(mimeType()))
        return -1;
    bool ok = false;
    const int channel = data->data(mimeType()).toInt(&ok);
    return ok && channel >= 1 && channel <= WallArrangement::ChannelCount ? channel : -1;
}
