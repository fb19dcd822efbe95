#include "gdicanvas.h"

#include "gdigeometry.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainterPathStroker>

#include <cmath>
#include <numbers>

namespace orv {

using namespace gdi;

namespace {

QRect surfaceOf(const QPainter& painter, QPoint at)
{
    return QRect(at, painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize());
}

} // namespace

GdiCanvas::GdiCanvas(QPainter& painter, const QTransform& deviceToImage, QSizeF deviceUnitsPerInch, QSize picture,
                     QPoint surfaceAt, RenderBudget& budget)
    : GdiDeviceContext(deviceToImage, deviceUnitsPerInch, QRect(QPoint(0, 0), picture), surfaceOf(painter, surfaceAt))
    , m_painter(painter)
    , m_budget(budget)
    , m_surface(surfaceOf(painter, surfaceAt))
    , m_toSurface(QTransform::fromTranslate(-surfaceAt.x(), -surfaceAt.y()))
{
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
}

// ---------------------------------------------------------------------------------------------
// Pens, brushes, painting

double GdiCanvas::penWidthImage() const
{
    const GdiPen& p = m_state.pen;
    if (p.cosmetic || p.width <= 0)
        return 1.0;
    const double scale = std::sqrt(std::abs(logicalToImage().determinant()));
    const double w = p.width * scale;
    return std::isfinite(w) ? std::clamp(w, 1.0, 1e6) : 1.0;
}

QPen GdiCanvas::imagePen(const QPainterPath& path) const
{
    const GdiPen& p = m_state.pen;
    const quint32 style = p.style & PS_STYLE_MASK;
    if (style == PS_NULL)
        return QPen(Qt::NoPen);
    const double width = penWidthImage();
    QPen pen(p.colour, width);
    switch (p.style & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: pen.setCapStyle(Qt::SquareCap); break;
    case PS_ENDCAP_FLAT: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (p.style & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: pen.setJoinStyle(Qt::BevelJoin); break;
    case PS_JOIN_MITER: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    pen.setMiterLimit(m_state.miterLimit);

    // Plain pens are styled only when one pixel wide; extended geometric ones at any width.
    const bool geometric = p.style & PS_GEOMETRIC;
    if (style == PS_SOLID || style == PS_INSIDEFRAME || (!geometric && width > 1.5))
        return pen;
    QList<qreal> dashes;
    if (style == PS_USERSTYLE) {
        const double scale = p.cosmetic ? 1.0 : std::sqrt(std::abs(logicalToImage().determinant()));
        for (double d : p.dashes)
            dashes.append(std::clamp(d * scale / width, 0.05, 1e4));
        if (dashes.size() % 2) {
            const QList<qreal> once = dashes;
            dashes.append(once);
        }
    } else {
        static const QList<qreal> thin[] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
        static const QList<qreal> wide[] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
        if (style == PS_ALTERNATE)
            dashes = {1, 1};
        else if (style >= PS_DASH && style <= PS_DASHDOTDOT)
            dashes = geometric || width > 1.5 ? wide[style - PS_DASH] : thin[style - PS_DASH];
    }
    if (dashes.isEmpty())
        return pen;
    double period = 0;
    for (qreal d : dashes)
        period += d * width;
    const QRectF bounds = path.controlPointRect();
    if (period <= 0 || !m_budget.dash((bounds.width() + bounds.height()) * 4 / period))
        return pen;
    if (!geometric || pen.capStyle() == Qt::RoundCap)
        pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern(dashes);
    return pen;
}

QBrush GdiCanvas::imageBrush(const GdiBrush& b) const
{
    switch (b.kind) {
    case GdiBrush::Kind::Null:
        return QBrush(Qt::NoBrush);
    case GdiBrush::Kind::Hatched: {
        static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(b.colour, b.hatch >= 0 && b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern);
    }
    case GdiBrush::Kind::Pattern: {
        // A pattern whose bitmap could not be read paints nothing rather than a solid block.
        if (b.pattern.isNull())
            return QBrush(Qt::NoBrush);
        if (!b.monochrome)
            return QBrush(b.pattern);
        QImage coloured = b.pattern.convertToFormat(QImage::Format_RGB32);
        const QRgb fore = m_state.textColour.rgb();
        const QRgb back = m_state.bkColour.rgb();
        for (int y = 0; y < coloured.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(coloured.scanLine(y));
            for (int x = 0; x < coloured.width(); ++x)
                line[x] = qGray(line[x]) < 128 ? fore : back;
        }
        return QBrush(coloured);
    }
    case GdiBrush::Kind::Solid:
        break;
    }
    return QBrush(b.colour);
}

void GdiCanvas::applyClip()
{
    if (m_clipApplied && m_appliedClip == m_state.clip)
        return;
    m_painter.setTransform(m_toSurface);
    if (m_state.clip)
        m_painter.setClipRegion(*m_state.clip);
    else
        m_painter.setClipping(false);
    m_clipApplied = true;
    m_appliedClip = m_state.clip;
}

QPainter& GdiCanvas::foreignPainter()
{
    m_clipApplied = false;
    m_painter.setTransform(m_toSurface);
    m_painter.setClipping(false);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setOpacity(1.0);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setRenderHint(QPainter::Antialiasing);
    return m_painter;
}

void GdiCanvas::paintPath(const QPainterPath& imagePath, bool fill, bool stroke)
{
    if (m_suppressed)
        return;
    const RasterOp raster = rasterOp(m_state.rop2 >= 1 && m_state.rop2 <= 16 ? m_state.rop2 - 1 : R2_COPYPEN - 1);
    if (!raster.draw || imagePath.isEmpty() || !reasonable(imagePath.controlPointRect()))
        return;
    QBrush brush = fill ? imageBrush(m_state.brush) : QBrush(Qt::NoBrush);
    QPen pen = stroke ? imagePen(imagePath) : QPen(Qt::NoPen);
    if (raster.colour) {
        if (brush.style() != Qt::NoBrush)
            brush = QBrush(*raster.colour);
        if (pen.style() != Qt::NoPen)
            pen.setColor(*raster.colour);
    }
    if (brush.style() == Qt::NoBrush && pen.style() == Qt::NoPen)
        return;
    if (!charge(imagePath, brush.style() != Qt::NoBrush, pen.style() != Qt::NoPen ? pen.widthF() : 0))
        return;
    applyClip();
    m_painter.setTransform(m_toSurface);
    m_painter.setCompositionMode(raster.mode);
    m_painter.setRenderHint(QPainter::Antialiasing, raster.mode == QPainter::CompositionMode_SourceOver);
    m_painter.setBackgroundMode(m_state.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.bkColour);
    m_painter.setBrushOrigin(deviceToImage().map(m_state.brushOrigin));
    QPainterPath path = imagePath;
    path.setFillRule(m_state.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    drawWithinReach(path, brush, pen, false);
}

void GdiCanvas::fillImagePath(const QPainterPath& imagePath, const QBrush& brush, const RasterOp& raster)
{
    if (m_suppressed)
        return;
    if (!raster.draw || imagePath.isEmpty() || !reasonable(imagePath.controlPointRect()) || !charge(imagePath, true, 0))
        return;
    applyClip();
    m_painter.setTransform(m_toSurface);
    m_painter.setCompositionMode(raster.mode);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackgroundMode(m_state.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.bkColour);
    m_painter.setBrushOrigin(deviceToImage().map(m_state.brushOrigin));
    drawWithinReach(imagePath, raster.colour ? QBrush(*raster.colour) : brush, QPen(Qt::NoPen), true);
}

QRectF GdiCanvas::insideFrame(const QRectF& box) const
{
    const GdiPen& p = m_state.pen;
    const QRectF r = box.normalized();
    if ((p.style & PS_STYLE_MASK) != PS_INSIDEFRAME || p.cosmetic || p.width <= 0)
        return r;
    const double inset = std::min({p.width / 2, r.width() / 2, r.height() / 2});
    return r.adjusted(inset, inset, -inset, -inset);
}

void GdiCanvas::shape(const QPainterPath& logical, bool fill, bool stroke)
{
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    const QPainterPath mapped = m.map(logical);
    if (m_inPath)
        addToPath(mapped, fill);
    else
        paintPath(mapped, fill, stroke);
}

void GdiCanvas::addToPath(const QPainterPath& imagePath, bool closed)
{
    m_path.addPath(imagePath);
    if (closed)
        m_pathCursor.reset();
    else
        m_pathCursor = imagePath.currentPosition();
}

void GdiCanvas::pathLineTo(QPointF from, QPointF to)
{
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    const QPointF a = m.map(from);
    const QPointF b = m.map(to);
    if (m_inPath) {
        if (!m_pathCursor || *m_pathCursor != a)
            m_path.moveTo(a);
        m_path.lineTo(b);
        m_pathCursor = b;
        return;
    }
    QPainterPath line(a);
    line.lineTo(b);
    paintPath(line, false, true);
}

// ---------------------------------------------------------------------------------------------
// Lines and shapes

void GdiCanvas::moveTo(QPointF p)
{
    m_state.position = p;
}

void GdiCanvas::lineTo(QPointF p)
{
    pathLineTo(m_state.position, p);
    m_state.position = p;
}

void GdiCanvas::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    if (m_inPath)
        addToPath(m.map(path), false);
    else
        paintPath(m.map(path), false, true);
}

void GdiCanvas::polylineTo(const QPolygonF& points)
{
    if (points.isEmpty())
        return;
    if (m_inPath) {
        for (const QPointF& p : points)
            lineTo(p);
        return;
    }
    QPolygonF all;
    all.reserve(points.size() + 1);
    all.append(m_state.position);
    all.append(points);
    polyline(all);
    m_state.position = points.last();
}

void GdiCanvas::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    QPainterPath path(points.first());
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    if (m_inPath)
        addToPath(m.map(path), false);
    else
        paintPath(m.map(path), false, true);
}

void GdiCanvas::polyBezierTo(const QPolygonF& points)
{
    if (points.size() < 3)
        return;
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    QPainterPath path(m_state.position);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    m_state.position = points[i - 1];
    const QPainterPath mapped = m.map(path);
    if (m_inPath) {
        const QPointF start = mapped.elementAt(0);
        if (!m_pathCursor || *m_pathCursor != start)
            m_path.moveTo(start);
        for (int e = 1; e < mapped.elementCount(); e += 3)
            m_path.cubicTo(mapped.elementAt(e), mapped.elementAt(e + 1), mapped.elementAt(e + 2));
        m_pathCursor = mapped.currentPosition();
    } else {
        paintPath(mapped, false, true);
    }
}

void GdiCanvas::polyDraw(const QPolygonF& points, const QByteArray& types)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || points.size() != types.size())
        return;
    QPainterPath path(m_state.position);
    for (qsizetype i = 0; i < points.size(); ++i) {
        const int type = quint8(types[i]) & ~1;
        if (type == 6) {
            path.moveTo(points[i]);
        } else if (type == 2) {
            path.lineTo(points[i]);
        } else if (type == 4 && i + 2 < points.size()) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            break;
        }
        if (quint8(types[i]) & 1)
            path.closeSubpath();
        m_state.position = points[i];
    }
    if (m_inPath)
        addToPath(m.map(path), false);
    else
        paintPath(m.map(path), false, true);
}

void GdiCanvas::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    shape(path, true, true);
}

void GdiCanvas::polyPolygon(const QList<QPolygonF>& polygons)
{
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    shape(path, true, true);
}

void GdiCanvas::polyPolyline(const QList<QPolygonF>& lines)
{
    for (const QPolygonF& line : lines)
        polyline(line);
}

void GdiCanvas::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(insideFrame(box));
    shape(path, true, true);
}

void GdiCanvas::roundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(insideFrame(box), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    shape(path, true, true);
}

void GdiCanvas::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(insideFrame(box));
    shape(path, true, true);
}

QPainterPath GdiCanvas::arcPath(const QRectF& boxIn, QPointF start, QPointF end, ArcKind kind) const
{
    const QRectF box = boxIn.normalized();
    QPainterPath path;
    if (box.width() <= 0 || box.height() <= 0)
        return path;
    const QPointF c = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    // Qt takes parametric angles, counter-clockwise with y growing downwards.
    auto angle = [&](QPointF p) { return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180 / std::numbers::pi; };
    const double a0 = angle(start);
    const double a1 = angle(end);
    const bool clockwise = m_state.clockwiseArcs != compatibleArcsFlipped();
    double sweep = clockwise ? -std::fmod(a0 - a1 + 720, 360) : std::fmod(a1 - a0 + 720, 360);
    if (sweep == 0)
        sweep = clockwise ? -360 : 360;
    if (kind == ArcKind::Pie)
        path.moveTo(c);
    else
        path.arcMoveTo(box, a0);
    path.arcTo(box, a0, sweep);
    if (kind == ArcKind::Pie || kind == ArcKind::Chord)
        path.closeSubpath();
    return path;
}

void GdiCanvas::arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind)
{
    const QPainterPath path = arcPath(box, start, end, kind);
    if (path.isEmpty())
        return;
    if (kind != ArcKind::ArcTo) {
        const bool closed = kind != ArcKind::Arc;
        shape(path, closed, true);
        return;
    }
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    QPainterPath joined(m_state.position);
    joined.lineTo(path.elementAt(0));
    joined.connectPath(path);
    m_state.position = path.currentPosition();
    const QPainterPath mapped = m.map(joined);
    if (m_inPath) {
        if (!m_pathCursor || *m_pathCursor != mapped.elementAt(0))
            m_path.moveTo(mapped.elementAt(0));
        m_path.connectPath(mapped);
        m_pathCursor = mapped.currentPosition();
    } else {
        paintPath(mapped, false, true);
    }
}

void GdiCanvas::angleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees)
{
    if (!(radius > 0) || !std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || std::abs(sweepDegrees) > 1e6)
        return;
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arcOnly;
    arcOnly.arcMoveTo(box, startDegrees);
    arcOnly.arcTo(box, startDegrees, std::clamp(sweepDegrees, -3600.0, 3600.0));
    QPainterPath joined(m_state.position);
    joined.lineTo(arcOnly.elementAt(0));
    joined.connectPath(arcOnly);
    m_state.position = arcOnly.currentPosition();
    if (m_inPath)
        addToPath(m.map(joined), false);
    else
        paintPath(m.map(joined), false, true);
}

void GdiCanvas::setPixel(QPointF p, const QColor& c)
{
    const QTransform m = logicalToImage();
    if (m_suppressed || m_inPath || !usable(m))
        return;
    const QPointF q = m.map(p);
    if (!imageRect().contains(toInt(std::floor(q.x())), toInt(std::floor(q.y()))))
        return;
    applyClip();
    m_painter.setTransform(m_toSurface);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.fillRect(QRect(int(std::floor(q.x())), int(std::floor(q.y())), 1, 1), c);
}

void GdiCanvas::fillRegion(const QList<QRect>& logical, const GdiBrush& brush)
{
    const QTransform m = logicalToImage();
    if (usable(m) && !m_inPath)
        fillImagePath(m.map(rectsPath(logical)), imageBrush(brush), RasterOp());
}

void GdiCanvas::frameRegion(const QList<QRect>& logical, const GdiBrush& brush, QSizeF logicalSize)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || m_inPath || logical.isEmpty())
        return;
    // The border lies inside the region: a stroke twice as wide, clipped to the region.
    const QPainterPath region = m.map(rectsPath(logical));
    QPainterPath outline;
    for (const QPolygonF& polygon : region.toFillPolygons())
        outline.addPolygon(polygon);
    const double w = std::clamp(2 * std::max(std::abs(logicalSize.width() * m.m11()), std::abs(logicalSize.height() * m.m22())), 1.0, 1e4);
    QPainterPathStroker stroker;
    stroker.setWidth(w);
    applyClip();
    m_painter.save();
    m_painter.setClipPath(region, Qt::IntersectClip);
    fillImagePath(stroker.createStroke(outline), imageBrush(brush), RasterOp());
    m_painter.restore();
}

void GdiCanvas::invertRegion(const QList<QRect>& logical)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || m_inPath)
        return;
    RasterOp invert;
    invert.mode = QPainter::RasterOp_NotDestination;
    fillImagePath(m.map(rectsPath(logical)), QBrush(Qt::black), invert);
}

void GdiCanvas::gradientRect(const QRectF& box, const QColor& from, const QColor& to, bool vertical)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || m_inPath)
        return;
    const QRectF r = box.normalized();
    QLinearGradient gradient(m.map(r.topLeft()), m.map(vertical ? r.bottomLeft() : r.topRight()));
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    QPainterPath path;
    path.addRect(r);
    fillImagePath(m.map(path), QBrush(gradient), RasterOp());
}

void GdiCanvas::gradientTriangle(const QPolygonF& triangle, const std::array<QColor, 3>& colours)
{
    const QTransform m = logicalToImage();
    if (m_suppressed || !usable(m) || m_inPath || triangle.size() != 3)
        return;
    const QPolygonF t = m.map(triangle);
    const QRect area = t.boundingRect().toAlignedRect().intersected(imageRect());
    const double det = (t[1].y() - t[2].y()) * (t[0].x() - t[2].x()) + (t[2].x() - t[1].x()) * (t[0].y() - t[2].y());
    if (area.isEmpty() || !std::isfinite(det) || std::abs(det) < 1e-9)
        return;
    QImage shade(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (shade.isNull())
        return;
    shade.fill(Qt::transparent);
    // Half a pixel of slack keeps the edges of adjacent triangles from leaving gaps: a weight
    // falls by an edge's length over twice the area for each pixel away from that edge.
    const double longest = std::max({QLineF(t[0], t[1]).length(), QLineF(t[1], t[2]).length(), QLineF(t[2], t[0]).length()});
    const double slack = 0.5 * longest / std::abs(det);
    for (int y = 0; y < shade.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(shade.scanLine(y));
        const double py = area.top() + y + 0.5;
        for (int x = 0; x < shade.width(); ++x) {
            const double px = area.left() + x + 0.5;
            const double w0 = ((t[1].y() - t[2].y()) * (px - t[2].x()) + (t[2].x() - t[1].x()) * (py - t[2].y())) / det;
            const double w1 = ((t[2].y() - t[0].y()) * (px - t[2].x()) + (t[0].x() - t[2].x()) * (py - t[2].y())) / det;
            const double w2 = 1 - w0 - w1;
            if (w0 < -slack || w1 < -slack || w2 < -slack)
                continue;
            auto mix = [&](auto channel) {
                const double v = w0 * channel(colours[0]) + w1 * channel(colours[1]) + w2 * channel(colours[2]);
                return int(std::lround(std::clamp(v, 0.0, 255.0)));
            };
            line[x] = qRgb(mix([](const QColor& c) { return c.red(); }), mix([](const QColor& c) { return c.green(); }),
                           mix([](const QColor& c) { return c.blue(); }));
        }
    }
    applyClip();
    m_painter.resetTransform();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setOpacity(1.0);
    m_painter.drawImage(area.topLeft(), shade);
}

// ---------------------------------------------------------------------------------------------
// Paths

void GdiCanvas::beginPath()
{
    m_inPath = true;
    m_path = QPainterPath();
    m_pathCursor.reset();
}

void GdiCanvas::abortPath()
{
    m_inPath = false;
    m_path = QPainterPath();
    m_pathCursor.reset();
}

void GdiCanvas::closeFigure()
{
    if (!m_inPath)
        return;
    m_path.closeSubpath();
    m_pathCursor.reset();
}

void GdiCanvas::usePath(bool fill, bool stroke)
{
    m_inPath = false;
    paintPath(m_path, fill, stroke);
    m_path = QPainterPath();
    m_pathCursor.reset();
}

void GdiCanvas::flattenPath()
{
    QPainterPath flat;
    for (const QPolygonF& polygon : m_path.toSubpathPolygons())
        flat.addPolygon(polygon);
    m_path = flat;
}

void GdiCanvas::widenPath()
{
    QPainterPathStroker stroker;
    stroker.setWidth(penWidthImage());
    m_path = stroker.createStroke(m_path);
    m_pathCursor.reset();
}

void GdiCanvas::selectClipPath(int mode)
{
    m_inPath = false;
    QPainterPath path = m_path;
    path.setFillRule(m_state.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    combineClip(maskRegion(path), mode);
    m_path = QPainterPath();
    m_pathCursor.reset();
}
} // namespace orv
