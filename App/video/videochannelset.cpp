#include "videochannelset.h"

#include <QFileInfo>

#include "common/config/setupconfig.h"
#include "video/videochannel.h"

VideoChannelSet::VideoChannelSet(const QVector<ChannelConfig::Channel> &channels,
                                 const QString &baseDir, QObject *parent)
    : QObject(parent), m_byNumber(ChannelConfig::ChannelCount + 1, nullptr)
{
    for (const ChannelConfig::Channel &config : channels) {
        if (config.isConfigured() && config.number >= 1 &&
            config.number <= ChannelConfig::ChannelCount && !m_byNumber.at(config.number))
            m_byNumber[config.number] = new VideoChannel(config, baseDir, this);
    }
}

VideoChannelSet *VideoChannelSet::fromStore(const SetupConfig &store, QObject *parent)
{
    return new VideoChannelSet(ChannelConfig::read(store),
                               QFileInfo(store.iniFilePath()).absolutePath(), parent);
}

VideoChannel *VideoChannelSet::channel(int number) const
{
    return number >= 1 && number < m_byNumber.size() ? m_byNumber.at(number) : nullptr;
}

QList<VideoChannel *> VideoChannelSet::channels() const
{
    QList<VideoChannel *> list;
    for (VideoChannel *channel : m_byNumber) {
        if (channel)
            list.append(channel);
    }
    return list;
}
