#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

#include "video/channelconfig.h"

class SetupConfig;
class VideoChannel;

// The configured cameras of the console, by channel number. A channel without a Source has no
// object here: its tile and camera page stay as they are without a camera.
class VideoChannelSet : public QObject
{
    Q_OBJECT

public:
    VideoChannelSet(const QVector<ChannelConfig::Channel> &channels, const QString &baseDir,
                    QObject *parent = nullptr);
    // The channels the store lists, relative file paths taken from the INI file's folder.
    static VideoChannelSet *fromStore(const SetupConfig &store, QObject *parent = nullptr);

    // Channel 1 to ChannelConfig::ChannelCount, or nullptr when it is not configured.
    VideoChannel *channel(int number) const;
    QList<VideoChannel *> channels() const;

private:
    Q_DISABLE_COPY(VideoChannelSet)

    QVector<VideoChannel *> m_byNumber;
};
