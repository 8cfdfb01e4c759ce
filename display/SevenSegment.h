#pragma once
// Seven-segment characters: which segments a character lights, and where each segment lies
// in a character cell.

#include <QPolygonF>
#include <QRectF>

#include <array>
#include <cstdint>

namespace SevenSegment {

// Bits 0 to 6: segments a (top), b (top right), c (bottom right), d (bottom), e (bottom
// left), f (top left) and g (middle). Digits, blank and '-'; anything else is blank.
std::uint8_t Segments(char character);

// The seven segments of a cell, slanted slightly forward as on LED modules.
std::array<QPolygonF, 7> SegmentShapes(const QRectF& cell);

// Points along the middle of each segment, for signs whose segments are rows of single
// LEDs; `perSegment` points to each.
std::array<std::array<QPointF, 8>, 7> SegmentDots(const QRectF& cell, int perSegment);

// Width of a segment's stroke for a cell.
qreal Thickness(const QRectF& cell);

} // namespace SevenSegment
