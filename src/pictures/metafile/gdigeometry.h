#pragma once

#include <QList>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QTransform>

// Guards shared by the canvas's parts: wild coordinates from a file must never reach the
// painter, whose fixed-point arithmetic and allocations they would overrun.
namespace orv::gdi {

constexpr double maxCoordinate = 1e9;

// Finite, within maxCoordinate, and invertible.
bool usable(const QTransform& t);
bool reasonable(const QRectF& r);
// Rounded, and clamped to ±maxCoordinate.
int toInt(double v);
// Rectangles as one path that covers each.
QPainterPath rectsPath(const QList<QRect>& rects);
// Pixels a filled path covers within bounds, as a region: drawn without antialiasing so it
// matches the fill.
QRegion regionFromPath(const QPainterPath& path, const QRect& bounds);
// The painter's rasteriser walks every edge whole, however far outside the device it runs: a
// slanted edge millions of pixels long costs seconds. A path reaching far beyond reach is cut to
// it first (reach itself goes well beyond what is painted, so the cut never shows).
bool farBeyond(const QPainterPath& path, const QRectF& reach);
QPainterPath cutTo(const QPainterPath& path, const QRectF& reach);

} // namespace orv::gdi
