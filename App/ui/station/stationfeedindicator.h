#pragma once

#include <QWidget>

#include "station/stationclient.h"

// The station feed's state in the title bar: a glyph for connected, connecting or offline, in
// the colour the theme gives that state (through the dynamic property "feed"), and a tooltip
// that says what the client last did.
class StationFeedIndicator : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Side = 40;
    static constexpr int GlyphPixelSize = 20;
    static constexpr int ConnectedGlyph = 0xF0C1;
    static constexpr int ConnectingGlyph = 0xF021;
    static constexpr int OfflineGlyph = 0xF127;

    explicit StationFeedIndicator(QWidget *parent = nullptr);

    StationClient::State state() const { return m_state; }
    void setFeedState(StationClient::State state, const QString &detail);

    // The value of the "feed" property for a state: "connected", "connecting", "offline".
    static QString feedOf(StationClient::State state);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Q_DISABLE_COPY(StationFeedIndicator)

    StationClient::State m_state = StationClient::Offline;
};
