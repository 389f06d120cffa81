#include "gaugelayercache.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace
{

bool cacheEnabled = true;

constexpr double RadToDeg = 57.29577951308232;
constexpr int SixteenthsPerDegree = 16;
constexpr int FullCircle = 360 * SixteenthsPerDegree;
constexpr int Quarter = FullCircle / 4;
// How far a piece drawn live reaches past the clip at the band's inner edge: far enough that
// its cut end, antialiasing included, stays outside.
constexpr double LiveReachPixels = 3.0;
// The corners of the clip wedges lie on a circle this much wider than the band's bounds.
constexpr double WedgeMargin = 1.0;
constexpr double WedgeCornerStep = 30.0;

QPointF onCircle(double degrees, double radius)
{
    const double rad = degrees / RadToDeg;
    return QPointF(radius * std::cos(rad), -radius * std::sin(rad));
}

// Narrows the painter's clip to the pie slice from one angle counter-clockwise to the other
// (degrees, counter-clockwise from 3 o'clock, as drawArc counts), reaching at least the radius
// given. The clip is not antialiased: slices that share an edge then share out its pixels
// exactly, each pixel to one of them.
void clipToWedge(QPainter &painter, double from, double to, double radius)
{
    const int corners = qMax(1, int(std::ceil((to - from) / WedgeCornerStep)));
    // The corners between the ends lie further out, so that the straight sides clear the circle.
    const double outer = radius / std::cos((to - from) / corners / 2 / RadToDeg);
    QPolygonF wedge;
    wedge << QPointF(0, 0) << onCircle(from, radius);
    for (int i = 1; i < corners; ++i)
        wedge << onCircle(from + (to - from) * i / corners, outer);
    wedge << onCircle(to, radius);
    QPainterPath path;
    path.addPolygon(wedge);
    path.closeSubpath();
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipPath(path, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

// The smallest rectangle holding every pixel that is not fully clear.
QRect paintedArea(const QImage &image)
{
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        int x = 0;
        while (x < image.width() && line[x] == 0)
            ++x;
        if (x == image.width())
            continue;
        int last = image.width() - 1;
        while (line[last] == 0)
            --last;
        top = std::min(top, y);
        bottom = y;
        left = std::min(left, x);
        right = std::max(right, last);
    }
    return bottom < 0 ? QRect(0, 0, 1, 1) : QRect(QPoint(left, top), QPoint(right, bottom));
}

double farthestCorner(const QRectF &rect)
{
    return std::max({std::hypot(rect.left(), rect.top()), std::hypot(rect.right(), rect.top()),
                     std::hypot(rect.left(), rect.bottom()),
                     std::hypot(rect.right(), rect.bottom())});
}

// The part of a device offset below one pixel: a layer drawn at one fraction does not match
// another, while whole pixels only move the picture.
double fraction(double offset)
{
    return offset - std::floor(offset);
}

} // namespace

void GaugeLayerCache::setEnabled(bool enabled)
{
    cacheEnabled = enabled;
}

void GaugeLayerCache::paint(QPainter &painter, int slot, const QByteArray &key,
                            const QRectF &bounds, const Draw &draw)
{
    if (!cacheEnabled) {
        draw(painter);
        return;
    }
    if (slot >= int(m_layers.size()))
        m_layers.resize(slot + 1);
    Layer &layer = m_layers[slot];

    const QTransform device = painter.deviceTransform();
    const QByteArray fullKey =
        key + GaugeLayerCache::key(device.m11(), device.m12(), device.m21(), device.m22(),
                                   fraction(device.dx()), fraction(device.dy()),
                                   int(painter.renderHints()), painter.font().key());
    const QPoint origin(int(std::floor(device.dx())), int(std::floor(device.dy())));
    if (layer.shown.key != fullKey) {
        std::swap(layer.shown, layer.previous);
        if (layer.shown.key != fullKey) {
            // Device pixels, relative to the whole-pixel part of the painter's offset.
            const QTransform local = device * QTransform::fromTranslate(-origin.x(), -origin.y());
            const QRect area = local.mapRect(bounds).toAlignedRect();
            Picture &picture = layer.shown;
            picture.key = fullKey;
            picture.origin = area.topLeft();
            picture.image =
                QImage(area.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
            picture.image.fill(Qt::transparent);
            QPainter onPicture(&picture.image);
            onPicture.setRenderHints(painter.renderHints());
            onPicture.setFont(painter.font());
            onPicture.setTransform(local * QTransform::fromTranslate(-area.x(), -area.y()));
            draw(onPicture);
            onPicture.end();
            // Blending skips clear pixels fast, but not for free.
            const QRect content = paintedArea(picture.image);
            picture.image = picture.image.copy(content);
            picture.origin += content.topLeft();
        }
    }

    // One device pixel per picture pixel: a plain blit.
    painter.save();
    painter.resetTransform();
    const QTransform base = painter.deviceTransform();
    painter.setWorldTransform(QTransform::fromTranslate(origin.x() + layer.shown.origin.x(),
                                                        origin.y() + layer.shown.origin.y()) *
                              base.inverted());
    painter.drawImage(0, 0, layer.shown.image);
    painter.restore();
}

void GaugeLayerCache::paintSplitBand(QPainter &painter, int slot, const QRectF &bounds,
                                     const SplitBand &band)
{
    const Piece &first = band.first;
    const Piece &second = band.second;
    const int meeting1 = first.start;
    const int meeting2 = second.start + second.span;
    const Piece whole{second.start, first.start + first.span - second.start};
    const QTransform device = painter.deviceTransform();
    const double scale = std::hypot(device.m11(), device.m12());
    const int reach = band.exactFrom > 0 && scale > 0
                          ? int(std::ceil(LiveReachPixels / (band.exactFrom * scale) * RadToDeg *
                                          SixteenthsPerDegree))
                          : 0;
    // Drawn live: the quarters of the circle around the meeting point, where the parts' curves
    // are cut at the value. Elsewhere each part is made of the same quarter curves whatever the
    // value, so the whole band's picture matches it pixel for pixel.
    const int low = Quarter * int(std::floor((std::min(meeting1, meeting2) - 1) / double(Quarter)));
    const int high = Quarter * int(std::ceil((std::max(meeting1, meeting2) + 1) / double(Quarter)));
    // The pictures' sides part opposite the middle of the band.
    const double blank = whole.start + whole.span / 2.0 + FullCircle / 2.0;
    const auto drawOver = [&](QPainter &p) {
        if (band.drawOver)
            band.drawOver(p);
    };
    if (!cacheEnabled || reach == 0 || first.span <= 0 || second.span <= 0 ||
        std::abs(meeting2 - meeting1) > Quarter / 2 || whole.span > FullCircle - 2 * reach ||
        high > blank || low < blank - FullCircle) {
        band.drawPiece(painter, 0, first.start, first.span);
        band.drawPiece(painter, 1, second.start, second.span);
        paint(painter, slot + 2, band.overKey, bounds, drawOver);
        return;
    }

    const double radius = farthestCorner(bounds) + WedgeMargin;
    const auto degrees = [](double sixteenths) { return sixteenths / SixteenthsPerDegree; };
    // A picture is keyed by the far end of its own part only: the other end lies on the other
    // side, where the picture is not shown.
    const int firstFarEnd = whole.start + whole.span;
    const QByteArray firstKey = band.key + band.overKey + GaugeLayerCache::key(0, firstFarEnd);
    const QByteArray secondKey = band.key + band.overKey + GaugeLayerCache::key(1, whole.start);

    painter.save();
    clipToWedge(painter, degrees(high), degrees(blank), radius);
    paint(painter, slot, firstKey, bounds, [&](QPainter &p) {
        band.drawPiece(p, 0, whole.start, whole.span);
        drawOver(p);
    });
    painter.restore();

    // Each live piece runs on past its quarter, so that its cut end lies outside the clip.
    painter.save();
    clipToWedge(painter, degrees(low), degrees(high), radius);
    const int firstEnd = std::min(firstFarEnd, high + reach);
    band.drawPiece(painter, 0, meeting1, firstEnd - meeting1);
    const int secondStart = std::max(second.start, low - reach);
    band.drawPiece(painter, 1, secondStart, meeting2 - secondStart);
    paint(painter, slot + 2, band.overKey, bounds, drawOver);
    painter.restore();

    painter.save();
    clipToWedge(painter, degrees(blank - FullCircle), degrees(low), radius);
    paint(painter, slot + 1, secondKey, bounds, [&](QPainter &p) {
        band.drawPiece(p, 1, whole.start, whole.span);
        drawOver(p);
    });
    painter.restore();
}
