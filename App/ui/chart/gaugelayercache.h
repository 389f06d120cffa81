#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QImage>
#include <QPoint>
#include <QRectF>

#include <functional>
#include <vector>

class QPainter;

// Pictures of the layers of a painted widget that stay the same from frame to frame. A layer
// is drawn once, in device pixels, into a picture that covers its bounds, and from then on
// blitted as long as its key is the same. The key names everything that draws the layer
// (colours, range, angles, fonts, style...); the painter's scale, device pixel ratio and
// sub-pixel offset are added here, so a resize or a move to another screen redraws it too.
class GaugeLayerCache
{
public:
    using Draw = std::function<void(QPainter &)>;

    // Draws the layer held in the slot with the painter's present transform: from its picture
    // when the key matches, otherwise through draw, into a new picture covering the bounds (in
    // the painter's coordinates) that is then kept. draw must leave nothing outside the bounds
    // and set everything it needs on the painter it is given (render hints, font and
    // transform come as on the caller's painter).
    void paint(QPainter &painter, int slot, const QByteArray &key, const QRectF &bounds,
               const Draw &draw);

    // One part of a band split at the value, in the painter's sixteenths of a degree (as
    // drawArc and drawPie take them): it runs counter-clockwise from start over span.
    struct Piece {
        int start;
        int span;
    };
    // A band of two parts that meet where the value lies and move with it (a value arc or
    // sector): the first part runs counter-clockwise from the meeting point, the second ends
    // there. The band shows from the radius exactFrom outward (what lies further in may
    // differ). Over it lies a layer that stays put (ticks, labels), if any.
    struct SplitBand {
        QByteArray key; // everything that draws the parts but where they meet
        Piece first;
        Piece second;
        double exactFrom;
        // Draws the given stretch of the first (0) or second (1) part.
        std::function<void(QPainter &, int part, int start, int span)> drawPiece;
        QByteArray overKey;
        Draw drawOver;
    };

    // Draws the band and the layer over it. Each part is kept, with the layer over it, as a
    // picture of the whole band in its own look (in the slot given and the next one); a frame
    // blits each picture on its own side and draws live only the quarter of the circle that
    // holds the meeting point, with the layer over it from a third picture (the slot after).
    // Both parts are drawn live where exactFrom is 0 or the parts do not fit the scheme.
    void paintSplitBand(QPainter &painter, int slot, const QRectF &bounds, const SplitBand &band);

    // The key of a layer: the values that draw it, written one after the other.
    template <typename... Values>
    static QByteArray key(const Values &...values)
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        (stream << ... << values);
        return bytes;
    }

    // With the cache off, every layer is drawn straight onto the caller's painter, as a
    // reference that the cached frames must match. On by default; for every gauge at once.
    static void setEnabled(bool enabled);

private:
    struct Picture {
        QByteArray key;
        QImage image;
        QPoint origin; // in device pixels
    };
    // The picture last shown and the one before: a band's end can move back and forth by a
    // sixteenth of a degree as the value's rounding goes, and either way it is at hand.
    struct Layer {
        Picture shown;
        Picture previous;
    };
    std::vector<Layer> m_layers;
};
