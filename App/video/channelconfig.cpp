#include "channelconfig.h"

#include <QDebug>
#include <QStringList>
#include <QVariant>

#include "common/config/setupconfig.h"

namespace
{

const QString SourceKey = QStringLiteral("Source");
const QString GridSourceKey = QStringLiteral("GridSource");
const QString NameKey = QStringLiteral("Name");

// QSettings splits an unquoted value at its commas ("Line 2, left") and trims the parts: they
// are joined again with the usual ", ".
QString textOf(const QVariant &value)
{
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

} // namespace

QString ChannelConfig::sectionOf(int number)
{
    return QStringLiteral("Channel%1").arg(number, 2, 10, QLatin1Char('0'));
}

QVector<ChannelConfig::Channel> ChannelConfig::read(const SetupConfig &store)
{
    QVector<Channel> channels;
    channels.reserve(ChannelCount);
    for (int number = 1; number <= ChannelCount; ++number) {
        const QString section = sectionOf(number);
        auto entry = [&](const QString &key) {
            return textOf(store.value(section + QLatin1Char('/') + key)).trimmed();
        };
        Channel channel;
        channel.number = number;
        channel.source = entry(SourceKey);
        channel.gridSource = entry(GridSourceKey);
        channel.name = entry(NameKey);

        const QStringList keys = store.keysOf(section);
        for (const QString &key : keys) {
            if (key != SourceKey && key != GridSourceKey && key != NameKey)
                qWarning().noquote() << QStringLiteral("ChannelConfig: [%1] %2 is not a channel "
                                                       "key (Source, GridSource, Name); ignored.")
                                            .arg(section, key);
        }
        if (!channel.isConfigured() && (!channel.gridSource.isEmpty() || !channel.name.isEmpty()))
            qWarning().noquote() << QStringLiteral("ChannelConfig: [%1] has no Source; the "
                                                   "channel stays off.")
                                        .arg(section);
        channels.append(channel);
    }
    return channels;
}
