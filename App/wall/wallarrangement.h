#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// Which channel each position of the camera wall shows: a permutation of the channels 1 to
// ChannelCount, position 0 first. The natural order shows channel p + 1 at position p; the
// layouts place positions, so an arrangement moves channels without changing any layout.
class WallArrangement
{
public:
    static constexpr int ChannelCount = 16;

    // The natural order.
    WallArrangement();

    int channelAt(int position) const;
    // -1 for a number that is no channel.
    int positionOf(int channel) const;
    bool isNatural() const;
    // Exchanges the channels of two positions; positions out of range change nothing.
    void swap(int first, int second);

    // The channels in position order, separated by blanks: "1 2 3 ... 16".
    QString toText() const;

    // What a stored value makes: the arrangement in force, and why the value could not be
    // used when it could not (then the arrangement is the natural order). A missing value is
    // the natural order and no problem.
    struct Stored {
        QVector<int> channels;
        QString problem;
    };
    static Stored fromStored(const QVariant &value);

    // The arrangement of the configuration store; a stored value that is not a permutation is
    // reported on the log and replaced by the natural order, in the store as well.
    static WallArrangement load();
    // Writes the arrangement to the configuration store at once.
    void store() const;

    bool operator==(const WallArrangement &other) const { return m_channels == other.m_channels; }
    bool operator!=(const WallArrangement &other) const { return !(*this == other); }

private:
    explicit WallArrangement(const QVector<int> &channels);

    QVector<int> m_channels;
};
