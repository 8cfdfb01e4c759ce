#include "display/SevenSegment.h"

#include <QLineF>

#include <algorithm>

namespace SevenSegment {

namespace {

// Cell proportions: one unit wide and two high; the stroke is a sixth of the width.
constexpr qreal StrokeShare = 0.17;
constexpr qreal Gap = 0.035;
constexpr qreal Slant = 0.09; // forward lean: horizontal shift per unit of height

struct Track {
    QPointF from;
    QPointF to;
};

// The middle line of each segment, in unit coordinates (x 0..1, y 0..2).
std::array<Track, 7> Tracks()
{
    constexpr qreal h = StrokeShare / 2;
    const qreal left = h, right = 1 - h, top = h, middle = 1, bottom = 2 - h;
    return {{
        {{left, top}, {right, top}}, // a
        {{right, top}, {right, middle}}, // b
        {{right, middle}, {right, bottom}}, // c
        {{left, bottom}, {right, bottom}}, // d
        {{left, middle}, {left, bottom}}, // e
        {{left, top}, {left, middle}}, // f
        {{left, middle}, {right, middle}}, // g
    }};
}

QPointF Place(const QRectF& cell, QPointF unit)
{
    const qreal scale = cell.height() / 2;
    const qreal lean = (2 - unit.y()) * Slant;
    const qreal usedWidth = 1 + 2 * Slant;
    const qreal x0 = cell.left() + (cell.width() - usedWidth * scale) / 2;
    return {x0 + (unit.x() + lean) * scale, cell.top() + unit.y() * scale};
}

} // namespace

std::uint8_t Segments(char character)
{
    static constexpr std::uint8_t Digits[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    if (character >= '0' && character <= '9')
        return Digits[character - '0'];
    if (character == '-')
        return 0x40;
    return 0;
}

qreal Thickness(const QRectF& cell)
{
    return StrokeShare * cell.height() / 2;
}

std::array<QPolygonF, 7> SegmentShapes(const QRectF& cell)
{
    constexpr qreal h = StrokeShare / 2;
    std::array<QPolygonF, 7> shapes;
    const auto tracks = Tracks();
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const QPointF from = tracks[i].from, to = tracks[i].to;
        const bool horizontal = from.y() == to.y();
        // A long hexagon: pointed ends that leave a small gap to the neighbouring segments.
        const QPointF along = horizontal ? QPointF(1, 0) : QPointF(0, 1);
        const QPointF across = horizontal ? QPointF(0, 1) : QPointF(1, 0);
        const QPointF start = from + along * Gap, end = to - along * Gap;
        shapes[i] << Place(cell, start) << Place(cell, start + along * h + across * h)
                  << Place(cell, end - along * h + across * h) << Place(cell, end)
                  << Place(cell, end - along * h - across * h) << Place(cell, start + along * h - across * h);
    }
    return shapes;
}

std::array<std::array<QPointF, 8>, 7> SegmentDots(const QRectF& cell, int perSegment)
{
    perSegment = std::clamp(perSegment, 1, 8);
    std::array<std::array<QPointF, 8>, 7> dots{};
    const auto tracks = Tracks();
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        // Dots sit between the corners, so that neighbouring segments share none.
        const QLineF track(tracks[i].from, tracks[i].to);
        for (int k = 0; k < perSegment; ++k)
            dots[i][k] = Place(cell, track.pointAt((k + 1.0) / (perSegment + 1)));
    }
    return dots;
}

} // namespace SevenSegment
