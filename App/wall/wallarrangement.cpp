#include "wallarrangement.h"

#include <QDebug>
#include <QRegularExpression>
#include <QStringList>

#include "common/config/setupconfig.h"

namespace
{

const QString StoreKey = QStringLiteral("Camera/Arrangement");

QVector<int> naturalChannels()
{
    QVector<int> channels(WallArrangement::ChannelCount);
    for (int p = 0; p < channels.size(); ++p)
        channels[p] = p + 1;
    return channels;
}

} // namespace

WallArrangement::WallArrangement() : m_channels(naturalChannels()) {}

WallArrangement::WallArrangement(const QVector<int> &channels) : m_channels(channels) {}

int WallArrangement::channelAt(int position) const
{
    return m_channels.value(position, -1);
}

int WallArrangement::positionOf(int channel) const
{
    return m_channels.indexOf(channel);
}

bool WallArrangement::isNatural() const
{
    return m_channels == naturalChannels();
}

void WallArrangement::swap(int first, int second)
{
    if (first < 0 || second < 0 || first >= ChannelCount || second >= ChannelCount)
        return;
    std::swap(m_channels[first], m_channels[second]);
}

QString WallArrangement::toText() const
{
    QStringList numbers;
    for (int channel : m_channels)
        numbers << QString::number(channel);
    return numbers.join(QLatin1Char(' '));
}

WallArrangement::Stored WallArrangement::fromStored(const QVariant &value)
{
    if (!value.isValid())
        return {naturalChannels(), QString()};
    // A hand-written list with commas reads as a list of texts.
    const QString text = value.type() == QVariant::StringList
                             ? value.toStringList().join(QLatin1Char(','))
                             : value.toString();
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    if (words.size() != ChannelCount)
        return {naturalChannels(),
                QStringLiteral("has %1 entries, not %2").arg(words.size()).arg(ChannelCount)};
    QVector<int> channels;
    for (const QString &word : words) {
        bool ok = false;
        const int channel = word.toInt(&ok);
        if (!ok || channel < 1 || channel > ChannelCount)
            return {naturalChannels(),
                    QStringLiteral("names \"%1\", which is no channel").arg(word)};
        if (channels.contains(channel))
            return {naturalChannels(),
                    QStringLiteral("names channel %1 twice").arg(QString::number(channel))};
        channels << channel;
    }
    return {channels, QString()};
}

WallArrangement WallArrangement::load()
{
    SetupConfig *store = SetupConfig::instance();
    const QVariant value = store->value(StoreKey);
    const Stored stored = fromStored(value);
    const WallArrangement arrangement(stored.channels);
    if (!stored.problem.isEmpty()) {
        qWarning().noquote() << QStringLiteral("WallArrangement: the stored arrangement %1 %2; "
                                               "showing the channels in their natural order.")
                                    .arg(StoreKey, stored.problem);
        arrangement.store();
    }
    return arrangement;
}

void WallArrangement::store() const
{
    SetupConfig::instance()->setValue(StoreKey, toText());
}
