#pragma once

#include <QString>
#include <QVector>

class SetupConfig;

// The cameras of the console as the INI file lists them: one section per channel,
// "[Channel01]" to "[Channel16]", with the keys Source, GridSource and Name. Channel n is tile n
// of the camera wall and the camera page C0n. Read once at start-up.
class ChannelConfig
{
public:
    static constexpr int ChannelCount = 16;

    struct Channel {
        // 1 to ChannelCount.
        int number = 0;
        // Where the picture comes from; empty: the channel is not configured.
        QString source;
        // A lower-resolution stream of the same camera for the shared wall; empty: Source.
        QString gridSource;
        // The camera's name; empty: none given.
        QString name;

        bool isConfigured() const { return !source.isEmpty(); }
    };

    // "Channel01" ... "Channel16".
    static QString sectionOf(int number);

    // Channel 1 to ChannelCount, in order, from the store's entries. Keys the console does not
    // know, and a GridSource or Name without a Source, are reported on the log.
    static QVector<Channel> read(const SetupConfig &store);

private:
    ChannelConfig() = delete;
};
