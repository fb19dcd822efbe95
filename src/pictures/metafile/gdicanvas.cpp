#include "gdicanvas.h"

#include "pictures/core/codepages.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPathStroker>

#include <array>
#include <cmath>
#include <numbers>

namespace orv {

using namespace gdi;

namespace {

constexpr std::size_t maxSavedStates = 4096;
constexpr double maxCoordinate = 1e9;

bool usable(const QTransform& t)
{
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double x : v) {
        if (!std::isfinite(x) || std::abs(x) > maxCoordinate)
            return false;
    }
    return std::abs(t.determinant()) > 1e-18;
}

bool reasonable(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) && std::isfinite(r.bottom())
        && std::abs(r.left()) < maxCoordinate && std::abs(r.right()) < maxCoordinate
        && std::abs(r.top()) < maxCoordinate && std::abs(r.bottom()) < maxCoordinate;
}

int toInt(double v)
{
    if (!(v > -maxCoordinate))
        return int(-maxCoordinate);
    if (!(v < maxCoordinate))
        return int(maxCoordinate);
    return int(std::lround(v));
}

// Pixels a filled path covers, as a region: drawn without antialiasing so it matches the fill.
QRegion regionFromPath(const QPainterPath& path, const QRect& bounds)
{
    const QRect area = path.boundingRect().toAlignedRect().intersected(bounds);
    if (area.isEmpty())
        return {};
    QImage mask(area.size(), QImage::Format_Grayscale8);
    if (mask.isNull())
        return {};
    mask.fill(0);
    {
        QPainter p(&mask);
        p.translate(-area.topLeft());
        p.fillPath(path, Qt::white);
    }
    // Rows with the same runs as the row above extend its band instead of starting a new one.
    QList<QRect> rects;
    QList<QPair<int, int>> previous;
    qsizetype bandStart = 0;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        QList<QPair<int, int>> runs;
        for (int x = 0; x < mask.width();) {
            if (line[x] < 128) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && line[x] >= 128)
                ++x;
            runs.append({start, x - start});
        }
        if (!runs.isEmpty() && runs == previous) {
            for (qsizetype i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(rects[i].bottom() + 1);
            continue;
        }
        bandStart = rects.size();
        for (const auto& run : runs)
            rects.append(QRect(area.left() + run.first, area.top() + y, run.second, 1));
        previous = runs;
    }
    QRegion region;
    if (!rects.isEmpty())
        region.setRects(rects.constData(), int(rects.size()));
    return region;
}

} // namespace

GdiCanvas::GdiCanvas(QPainter& painter, const QTransform& deviceToImage, QSizeF deviceUnitsPerInch)
    : m_painter(painter)
    , m_base(deviceToImage)
    , m_deviceUnitsPerInch(deviceUnitsPerInch)
    , m_imageRect(QPoint(0, 0), painter.device() ? QSize(painter.device()->width(), painter.device()->height()) : QSize())
{
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
}

// ---------------------------------------------------------------------------------------------
// Colours and objects

QColor GdiCanvas::colour(quint32 ref) const
{
    if ((ref >> 24) == 0x01) {
        const quint32 index = ref & 0xffff;
        return index < quint32(m_state.palette.size()) ? QColor(m_state.palette[index]) : QColor(Qt::black);
    }
    return QColor(int(ref & 0xff), int((ref >> 8) & 0xff), int((ref >> 16) & 0xff));
}

void GdiCanvas::setObjectTableSize(int size)
{
    m_objects.resize(std::size_t(std::max(size, 0)));
}

int GdiCanvas::freeSlot() const
{
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (std::holds_alternative<std::monostate>(m_objects[i]))
            return int(i);
    }
    return -1;
}

void GdiCanvas::setObject(int index, GdiObject object)
{
    if (validIndex(index))
        m_objects[std::size_t(index)] = std::move(object);
}

void GdiCanvas::selectObject(int index)
{
    if (!validIndex(index))
        return;
    const GdiObject& o = m_objects[std::size_t(index)];
    if (const auto* pen = std::get_if<GdiPen>(&o))
        m_state.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&o))
        m_state.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&o))
        m_state.font = *font;
    else if (const auto* palette = std::get_if<GdiPalette>(&o))
        m_state.palette = palette->colours;
    else if (const auto* region = std::get_if<GdiRegion>(&o))
        selectClipLogicalRegion(region->rects, RGN_COPY);
}

void GdiCanvas::selectStockObject(quint32 stock)
{
    auto brush = [this](GdiBrush::Kind kind, QColor c) {
        m_state.brush = GdiBrush();
        m_state.brush.kind = kind;
        m_state.brush.colour = c;
    };
    auto pen = [this](quint32 style, QColor c) {
        m_state.pen = GdiPen();
        m_state.pen.style = style;
        m_state.pen.colour = c;
    };
    switch (stock & ~STOCK_FLAG) {
    case WHITE_BRUSH: case DC_BRUSH: brush(GdiBrush::Kind::Solid, Qt::white); break;
    case LTGRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0xc0, 0xc0, 0xc0)); break;
    case GRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0x80, 0x80, 0x80)); break;
    case DKGRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0x40, 0x40, 0x40)); break;
    case BLACK_BRUSH: brush(GdiBrush::Kind::Solid, Qt::black); break;
    case NULL_BRUSH: brush(GdiBrush::Kind::Null, Qt::white); break;
    case WHITE_PEN: pen(PS_SOLID, Qt::white); break;
    case BLACK_PEN: case DC_PEN: pen(PS_SOLID, Qt::black); break;
    case NULL_PEN: pen(PS_NULL, Qt::black); break;
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case SYSTEM_FIXED_FONT:
        m_state.font = GdiFont();
        m_state.font.pitchAndFamily = 0x31;
        break;
    case ANSI_VAR_FONT: case SYSTEM_FONT: case DEVICE_DEFAULT_FONT: case DEFAULT_GUI_FONT:
        m_state.font = GdiFont();
        break;
    case DEFAULT_PALETTE:
        m_state.palette.clear();
        break;
    default:
        break;
    }
}

void GdiCanvas::deleteObject(int index)
{
    if (validIndex(index))
        m_objects[std::size_t(index)] = GdiObject();
}

// ---------------------------------------------------------------------------------------------
// Mapping

void GdiCanvas::setMapMode(int mode)
{
    if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC)
        m_state.mapMode = mode;
}

void GdiCanvas::setWindowExt(QSizeF ext)
{
    if (ext.width() != 0 && ext.height() != 0)
        m_state.windowExt = ext;
}

void GdiCanvas::setViewportExt(QSizeF ext)
{
    if (ext.width() != 0 && ext.height() != 0)
        m_state.viewportExt = ext;
}

void GdiCanvas::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xNum != 0 && xDenom != 0 && yNum != 0 && yDenom != 0)
        setWindowExt(QSizeF(m_state.windowExt.width() * xNum / xDenom, m_state.windowExt.height() * yNum / yDenom));
}

void GdiCanvas::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xNum != 0 && xDenom != 0 && yNum != 0 && yDenom != 0)
        setViewportExt(QSizeF(m_state.viewportExt.width() * xNum / xDenom, m_state.viewportExt.height() * yNum / yDenom));
}

void GdiCanvas::modifyWorldTransform(const QTransform& xform, int mode)
{
    QTransform result;
    switch (mode) {
    case 1: break;
    case 2: result = xform * m_state.world; break;
    case 3: result = m_state.world * xform; break;
    case 4: result = xform; break;
    default: return;
    }
    if (!usable(result))
        return;
    m_state.world = result;
    m_advancedGraphics = true;
}

QTransform GdiCanvas::pageTransform() const
{
    const GdiState& s = m_state;
    double sx = 1;
    double sy = 1;
    auto fixed = [&](double unitsPerInch) {
        sx = m_deviceUnitsPerInch.width() / unitsPerInch;
        sy = -m_deviceUnitsPerInch.height() / unitsPerInch;
    };
    switch (s.mapMode) {
    case MM_LOMETRIC: fixed(254); break;
    case MM_HIMETRIC: fixed(2540); break;
    case MM_LOENGLISH: fixed(100); break;
    case MM_HIENGLISH: fixed(1000); break;
    case MM_TWIPS: fixed(1440); break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        sx = s.viewportExt.width() / s.windowExt.width();
        sy = s.viewportExt.height() / s.windowExt.height();
        if (s.mapMode == MM_ISOTROPIC) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default:
        break;
    }
    return QTransform(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx, s.viewportOrg.y() - s.windowOrg.y() * sy);
}

QTransform GdiCanvas::logicalToImage() const
{
    return m_state.world * pageTransform() * m_base;
}

bool GdiCanvas::compatibleArcsFlipped() const
{
    return !m_advancedGraphics && pageTransform().determinant() < 0;
}

void GdiCanvas::saveDC()
{
    if (m_saved.size() < maxSavedStates)
        m_saved.push_back(m_state);
}

void GdiCanvas::restoreDC(int which)
{
    const qint64 count = qint64(m_saved.size());
    const qint64 target = which < 0 ? count + which : qint64(which) - 1;
    if (which == 0 || target < 0 || target >= count)
        return;
    m_state = m_saved[std::size_t(target)];
    m_saved.resize(std::size_t(target));
}

// ---------------------------------------------------------------------------------------------
// Pens, brushes, painting

GdiCanvas::Raster GdiCanvas::rasterOp(int table)
{
    // table bit (a * 2 + d) is the result for source/pen bit a and destination bit d.
    using M = QPainter::CompositionMode;
    Raster r;
    switch (table & 0xf) {
    case 0x0: r.colour = QColor(Qt::black); break;
    case 0x1: r.mode = M::RasterOp_NotSourceAndNotDestination; break;
    case 0x2: r.mode = M::RasterOp_NotSourceAndDestination; break;
    case 0x3: r.mode = M::RasterOp_NotSource; break;
    case 0x4: r.mode = M::RasterOp_SourceAndNotDestination; break;
    case 0x5: r.mode = M::RasterOp_NotDestination; break;
    case 0x6: r.mode = M::RasterOp_SourceXorDestination; break;
    case 0x7: r.mode = M::RasterOp_NotSourceOrNotDestination; break;
    case 0x8: r.mode = M::RasterOp_SourceAndDestination; break;
    case 0x9: r.mode = M::RasterOp_NotSourceXorDestination; break;
    case 0xa: r.draw = false; break;
    case 0xb: r.mode = M::RasterOp_NotSourceOrDestination; break;
    case 0xc: break;
    case 0xd: r.mode = M::RasterOp_SourceOrNotDestination; break;
    case 0xe: r.mode = M::RasterOp_SourceOrDestination; break;
    case 0xf: r.colour = QColor(Qt::white); break;
    }
    return r;
}

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
    // A dash pattern repeated millions of times along a huge path costs minutes, not pixels.
    double period = 0;
    for (qreal d : dashes)
        period += d * width;
    const QRectF bounds = path.controlPointRect();
    if (period <= 0 || (bounds.width() + bounds.height()) * 4 / period > 1e5)
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
        if (b.pattern.isNull())
            return QBrush(b.colour);
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
    m_painter.resetTransform();
    if (m_state.clip)
        m_painter.setClipRegion(*m_state.clip);
    else
        m_painter.setClipping(false);
    m_clipApplied = true;
    m_appliedClip = m_state.clip;
}

void GdiCanvas::paintPath(const QPainterPath& imagePath, bool fill, bool stroke)
{
    const Raster raster = rasterOp(m_state.rop2 >= 1 && m_state.rop2 <= 16 ? m_state.rop2 - 1 : R2_COPYPEN - 1);
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
    applyClip();
    m_painter.resetTransform();
    m_painter.setCompositionMode(raster.mode);
    m_painter.setRenderHint(QPainter::Antialiasing, raster.mode == QPainter::CompositionMode_SourceOver);
    m_painter.setBackgroundMode(m_state.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.bkColour);
    QPainterPath path = imagePath;
    path.setFillRule(m_state.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.setPen(pen);
    m_painter.setBrush(brush);
    m_painter.drawPath(path);
}

void GdiCanvas::fillImagePath(const QPainterPath& imagePath, const QBrush& brush, const Raster& raster)
{
    if (!raster.draw || imagePath.isEmpty() || !reasonable(imagePath.controlPointRect()))
        return;
    applyClip();
    m_painter.resetTransform();
    m_painter.setCompositionMode(raster.mode);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setBackgroundMode(m_state.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.bkColour);
    m_painter.fillPath(imagePath, raster.colour ? QBrush(*raster.colour) : brush);
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
    if (m_inPath || !usable(m))
        return;
    const QPointF q = m.map(p);
    if (!m_imageRect.contains(toInt(std::floor(q.x())), toInt(std::floor(q.y()))))
        return;
    applyClip();
    m_painter.resetTransform();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.fillRect(QRect(int(std::floor(q.x())), int(std::floor(q.y())), 1, 1), c);
}

QPainterPath GdiCanvas::rectsPath(const QList<QRect>& rects)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRect& r : rects)
        path.addRect(QRectF(r));
    return path;
}

void GdiCanvas::fillRegion(const QList<QRect>& logical, const GdiBrush& brush)
{
    const QTransform m = logicalToImage();
    if (usable(m) && !m_inPath)
        fillImagePath(m.map(rectsPath(logical)), imageBrush(brush), Raster());
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
    fillImagePath(stroker.createStroke(outline), imageBrush(brush), Raster());
    m_painter.restore();
}

void GdiCanvas::invertRegion(const QList<QRect>& logical)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || m_inPath)
        return;
    Raster invert;
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
    fillImagePath(m.map(path), QBrush(gradient), Raster());
}

void GdiCanvas::gradientTriangle(const QPolygonF& triangle, const QColor& average)
{
    const QTransform m = logicalToImage();
    if (!usable(m) || m_inPath)
        return;
    QPainterPath path;
    path.addPolygon(triangle);
    path.closeSubpath();
    fillImagePath(m.map(path), QBrush(average), Raster());
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
    combineClip(regionFromPath(path, m_imageRect), mode);
    m_path = QPainterPath();
    m_pathCursor.reset();
}

// ---------------------------------------------------------------------------------------------
// Clipping

QRegion GdiCanvas::imageRegion(const QPolygonF& polygon) const
{
    const QRectF bounds = polygon.boundingRect();
    if (!reasonable(bounds))
        return {};
    // Axis-aligned rectangles, by far the common case, round to whole pixels directly.
    const bool axisAligned = polygon.size() == 4
        && ((polygon[0].x() == polygon[3].x() && polygon[1].x() == polygon[2].x() && polygon[0].y() == polygon[1].y()
             && polygon[2].y() == polygon[3].y())
            || (polygon[0].y() == polygon[3].y() && polygon[1].y() == polygon[2].y()
                && polygon[0].x() == polygon[1].x() && polygon[2].x() == polygon[3].x()));
    if (axisAligned) {
        const QRect r(QPoint(toInt(bounds.left()), toInt(bounds.top())), QPoint(toInt(bounds.right()) - 1, toInt(bounds.bottom()) - 1));
        return QRegion(r.intersected(m_imageRect.adjusted(-1, -1, 1, 1)));
    }
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return regionFromPath(path, m_imageRect);
}

void GdiCanvas::combineClip(const QRegion& region, int mode)
{
    const QRegion current = m_state.clip.value_or(QRegion(m_imageRect));
    switch (mode) {
    case RGN_AND: m_state.clip = current.intersected(region); break;
    case RGN_OR: m_state.clip = current.united(region); break;
    case RGN_XOR: m_state.clip = current.xored(region); break;
    case RGN_DIFF: m_state.clip = current.subtracted(region); break;
    case RGN_COPY: m_state.clip = region; break;
    default: break;
    }
}

void GdiCanvas::intersectClipRect(const QRectF& box)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(m.map(QPolygonF(box.normalized()))), RGN_AND);
}

void GdiCanvas::excludeClipRect(const QRectF& box)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(m.map(QPolygonF(box.normalized()))), RGN_DIFF);
}

void GdiCanvas::offsetClip(QPointF offset)
{
    const QTransform m = logicalToImage();
    if (!m_state.clip || !usable(m))
        return;
    const QPointF d = m.map(offset) - m.map(QPointF(0, 0));
    if (reasonable(QRectF(d, QSizeF(0, 0))))
        m_state.clip = m_state.clip->translated(toInt(d.x()), toInt(d.y()));
}

QRegion GdiCanvas::imageRegion(const QList<QRect>& rects, const QTransform& toImage) const
{
    // A few axis-aligned rectangles round exactly; anything else is drawn once into a mask.
    if (toImage.m12() == 0 && toImage.m21() == 0 && rects.size() <= 64) {
        QRegion region;
        for (const QRect& r : rects)
            region += imageRegion(toImage.map(QPolygonF(QRectF(r))));
        return region;
    }
    return regionFromPath(toImage.map(rectsPath(rects)), m_imageRect);
}

void GdiCanvas::selectClipRegion(const QList<QRect>& device, int mode)
{
    combineClip(imageRegion(device, m_base), mode);
}

void GdiCanvas::selectClipLogicalRegion(const QList<QRect>& logical, int mode)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(logical, m), mode);
}

void GdiCanvas::resetClip()
{
    m_state.clip.reset();
}

// ---------------------------------------------------------------------------------------------
// Text

QFont GdiCanvas::makeFont(double emPixels) const
{
    const GdiFont& f = m_state.font;
    const QString face = f.face.toLower();
    const int family = f.pitchAndFamily >> 4;
    const bool fixedPitch = (f.pitchAndFamily & 3) == 1;
    QFont::StyleHint hint = QFont::SansSerif;
    QString generic = QStringLiteral("sans-serif");
    auto serif = [&] {
        hint = QFont::Serif;
        generic = QStringLiteral("serif");
    };
    auto mono = [&] {
        hint = QFont::Monospace;
        generic = QStringLiteral("monospace");
    };
    if (family == 1)
        serif();
    else if (family == 3 || fixedPitch)
        mono();
    else if (family == 4) {
        hint = QFont::Cursive;
        generic = QStringLiteral("cursive");
    } else if (family == 0) {
        if (face.contains(QLatin1String("courier")) || face.contains(QLatin1String("mono")) || face.contains(QLatin1String("consol")))
            mono();
        else if (!face.contains(QLatin1String("sans"))
                 && (face.contains(QLatin1String("times")) || face.contains(QLatin1String("roman"))
                     || face.contains(QLatin1String("serif")) || face.contains(QLatin1String("georgia"))
                     || face.contains(QLatin1String("garamond")) || face.contains(QLatin1String("book"))))
            serif();
    }
    QStringList families;
    if (!f.face.isEmpty() && face != QLatin1String("symbol"))
        families.append(f.face);
    families.append(generic);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(std::max(1, int(std::lround(emPixels))));
    font.setWeight(QFont::Weight(f.weight <= 0 ? 400 : std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

void GdiCanvas::textOut(QPointF reference, const QString& textIn, const QList<QPointF>& advances, quint32 options,
                        const std::optional<QRectF>& box)
{
    const QTransform m = logicalToImage();
    if (!usable(m))
        return;
    std::optional<QPainterPath> clipPath;
    if (box && !m_inPath) {
        QPainterPath r;
        r.addRect(box->normalized());
        const QPainterPath mapped = m.map(r);
        if (options & ETO_OPAQUE)
            fillImagePath(mapped, QBrush(m_state.bkColour), Raster());
        if (options & ETO_CLIPPED)
            clipPath = mapped;
    }
    if (textIn.isEmpty())
        return;

    const GdiFont& f = m_state.font;
    QString text = textIn;
    if (f.face.compare(QLatin1String("symbol"), Qt::CaseInsensitive) == 0) {
        for (QChar& c : text)
            c = symbolFontChar(c.unicode());
    }

    const double xScale = std::hypot(m.m11(), m.m12());
    const double yScale = std::hypot(m.m21(), m.m22());
    double em = f.height == 0 ? m_deviceUnitsPerInch.height() / 6 * std::hypot(m_base.m21(), m_base.m22())
                              : std::abs(double(f.height)) * yScale;
    if (!(em >= 0.5) || !std::isfinite(em))
        return;
    // A glyph many times the picture's size shows nothing but costs seconds to rasterise.
    em = std::min({em, 4.0 * std::max(m_imageRect.width(), m_imageRect.height()), 20000.0});
    if (f.height > 0) {
        // A positive height is the whole cell, ascent plus descent.
        const QFontMetricsF probe(makeFont(256));
        const double cell = probe.ascent() + probe.descent();
        if (cell > 0)
            em *= 256 / cell;
    }
    QFont font = makeFont(em);
    if (f.width != 0) {
        const double natural = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::abs(double(f.width)) * xScale;
        if (natural > 0 && std::isfinite(wanted))
            font.setStretch(std::clamp(int(std::lround(100 * wanted / natural)), 1, 4000));
    }
    const QFontMetricsF metrics(font);

    // Layout along the baseline in picture pixels, x to the right, y down.
    QList<QPointF> positions;
    double width = 0;
    if (!advances.isEmpty()) {
        positions.reserve(text.size());
        double x = 0;
        double y = 0;
        const double ySign = m.m22() >= 0 ? 1 : -1;
        for (qsizetype i = 0; i < text.size(); ++i) {
            positions.append(QPointF(x, std::clamp(y, -1e6, 1e6)));
            const QPointF a = i < advances.size() ? advances[i] : QPointF();
            x += a.x() * xScale;
            y += a.y() * yScale * ySign;
        }
        width = x;
    } else {
        const double extra = m_state.textCharExtra * xScale;
        if (extra != 0 && std::isfinite(extra))
            font.setLetterSpacing(QFont::AbsoluteSpacing, std::clamp(extra, -1e4, 1e4));
        width = QFontMetricsF(font).horizontalAdvance(text);
    }
    if (!std::isfinite(width))
        return;

    const quint32 align = m_state.textAlign;
    double x0 = 0;
    if ((align & TA_HORIZONTAL_MASK) == TA_CENTER)
        x0 = -width / 2;
    else if ((align & TA_HORIZONTAL_MASK) == TA_RIGHT)
        x0 = -width;
    double baseline = metrics.ascent();
    if ((align & TA_VERTICAL_MASK) == TA_BASELINE)
        baseline = 0;
    else if ((align & TA_VERTICAL_MASK) == TA_BOTTOM)
        baseline = -metrics.descent();

    const bool updateCp = align & TA_UPDATECP;
    const QPointF origin = m.map(updateCp ? m_state.position : reference);
    double angle = -double(f.escapement) / 10;
    if (m_advancedGraphics)
        angle += std::atan2(m.m12(), m.m11()) * 180 / std::numbers::pi;
    // Text positions end up in the font engine's fixed point, which holds a few million pixels.
    constexpr double textLimit = 4e6;
    if (!std::isfinite(angle) || !(std::abs(origin.x()) < textLimit) || !(std::abs(origin.y()) < textLimit)
        || !(std::abs(width) < textLimit))
        return;
    QTransform local;
    local.translate(origin.x(), origin.y());
    local.rotate(angle);

    if (updateCp && (align & TA_HORIZONTAL_MASK) != TA_CENTER) {
        const double logicalWidth = width / xScale * (m.m11() >= 0 ? 1 : -1);
        m_state.position.rx() += (align & TA_HORIZONTAL_MASK) == TA_RIGHT ? -logicalWidth : logicalWidth;
    }

    if (m_inPath) {
        QPainterPath glyphs;
        if (positions.isEmpty()) {
            glyphs.addText(QPointF(x0, baseline), font, text);
        } else {
            for (qsizetype i = 0; i < text.size(); ++i)
                glyphs.addText(positions[i] + QPointF(x0, baseline), font, QString(text[i]));
        }
        addToPath(local.map(glyphs), true);
        return;
    }

    applyClip();
    m_painter.save();
    if (clipPath)
        m_painter.setClipPath(*clipPath, Qt::IntersectClip);
    m_painter.setTransform(local);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::Antialiasing);
    if (m_state.opaqueBackground && !(options & ETO_OPAQUE))
        m_painter.fillRect(QRectF(x0, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent()), m_state.bkColour);
    m_painter.setFont(font);
    m_painter.setPen(m_state.textColour);
    if (positions.isEmpty()) {
        m_painter.drawText(QPointF(x0, baseline), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            // A surrogate pair is one character drawn at its first unit's position.
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                m_painter.drawText(positions[i] + QPointF(x0, baseline), text.mid(i, 2));
                ++i;
            } else {
                m_painter.drawText(positions[i] + QPointF(x0, baseline), QString(text[i]));
            }
        }
    }
    m_painter.restore();
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

void GdiCanvas::drawImage(const QRectF& destIn, const QImage& source, QRectF src, QPainter::CompositionMode mode,
                          double opacity, bool smooth)
{
    const QTransform m = logicalToImage();
    if (m_inPath || source.isNull() || !usable(m) || !reasonable(destIn) || !reasonable(src))
        return;
    QRectF dest = destIn;
    bool flipX = (dest.width() < 0) != (src.width() < 0);
    bool flipY = (dest.height() < 0) != (src.height() < 0);
    dest = dest.normalized();
    src = src.normalized();
    if (dest.isEmpty() || src.isEmpty())
        return;
    QImage image = source;
    if (flipX || flipY) {
        image = source.mirrored(flipX, flipY);
        if (flipX)
            src.moveLeft(image.width() - src.right());
        if (flipY)
            src.moveTop(image.height() - src.bottom());
    }
    // Only the part of the source rectangle that lies on the bitmap is drawn, where it belongs.
    const QRectF onImage = src.intersected(QRectF(image.rect()));
    if (onImage.isEmpty())
        return;
    const double fx = dest.width() / src.width();
    const double fy = dest.height() / src.height();
    dest = QRectF(dest.x() + (onImage.x() - src.x()) * fx, dest.y() + (onImage.y() - src.y()) * fy,
                  onImage.width() * fx, onImage.height() * fy);
    applyClip();
    m_painter.save();
    m_painter.setTransform(m);
    m_painter.setCompositionMode(mode);
    m_painter.setOpacity(opacity);
    m_painter.setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    m_painter.drawImage(dest, image, onImage);
    m_painter.restore();
}

void GdiCanvas::stretchBlt(const QRectF& dest, const QImage& source, QRectF sourceRect, quint32 rop)
{
    const int index = int((rop >> 16) & 0xff);
    const bool usesSource = ((index >> 2) & 0x33) != (index & 0x33);
    const bool usesPattern = (index >> 4) != (index & 0x0f);
    if (!usesSource) {
        patBlt(dest, rop);
        return;
    }
    if (source.isNull())
        return;
    const bool halftone = m_state.stretchMode == 4;
    if (!usesPattern) {
        const Raster raster = rasterOp(index & 0x0f);
        if (!raster.draw)
            return;
        if (raster.colour) {
            patBlt(dest, raster.colour == QColor(Qt::black) ? 0x00000042u : 0x00FF0062u);
            return;
        }
        const bool copy = raster.mode == QPainter::CompositionMode_SourceOver;
        drawImage(dest, copy ? source : source.convertToFormat(QImage::Format_RGB32), sourceRect, raster.mode, 1.0,
                  copy && (halftone || m_state.stretchMode == 0));
        return;
    }
    // Source and brush together: the masking operations drawing programs use.
    const QRgb brush = m_state.brush.colour.rgb();
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb s = line[x];
            switch (index) {
            case 0xC0:   // MERGECOPY: source AND brush
                line[x] = qRgb(qRed(s) & qRed(brush), qGreen(s) & qGreen(brush), qBlue(s) & qBlue(brush));
                break;
            case 0xE2:   // brush where the source is white, destination elsewhere
                line[x] = (s & 0xffffff) == 0xffffff ? (brush | 0xff000000u) : 0;
                break;
            case 0xB8:   // brush where the source is black, destination elsewhere
                line[x] = (s & 0xffffff) == 0 ? (brush | 0xff000000u) : 0;
                break;
            default:
                break;
            }
        }
    }
    drawImage(dest, image, sourceRect, QPainter::CompositionMode_SourceOver, 1.0, false);
}

void GdiCanvas::patBlt(const QRectF& dest, quint32 rop)
{
    const int index = int((rop >> 16) & 0xff);
    const Raster raster = rasterOp((index & 0x3) | (((index >> 4) & 0x3) << 2));
    const QTransform m = logicalToImage();
    if (!raster.draw || m_inPath || !usable(m))
        return;
    QPainterPath path;
    path.addRect(dest.normalized());
    QBrush brush = imageBrush(m_state.brush);
    if (brush.style() == Qt::NoBrush) {
        // A null brush paints nothing; operations that ignore the brush still need one.
        if ((index >> 4) != (index & 0x0f))
            return;
        brush = QBrush(Qt::black);
    }
    fillImagePath(m.map(path), brush, raster);
}

void GdiCanvas::alphaBlend(const QRectF& dest, const QImage& source, QRectF sourceRect, double opacity)
{
    drawImage(dest, source, sourceRect, QPainter::CompositionMode_SourceOver, std::clamp(opacity, 0.0, 1.0), true);
}

} // namespace orv
