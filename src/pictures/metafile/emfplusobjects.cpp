#include "emfplusobjects.h"

#include "pictures/core/emfplusrecords.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>

namespace orv::emfplus {

namespace {

// Bitmaps EMF+ carries are bounded like the renderer's other bitmaps.
constexpr qint64 maxPixels = 64LL * 1024 * 1024;
// Region trees nest; a file cannot make the reader recurse without end.
constexpr int maxRegionDepth = 64;

// World coordinates may be huge where the world transform scales them down; what reaches the
// painter is checked there.
bool finite(double v)
{
    return std::isfinite(v) && std::abs(v) < 1e18;
}

double real(ByteReader& r, bool* ok)
{
    const double v = r.f32();
    if (!finite(v))
        *ok = false;
    return v;
}

Unit unit(quint32 value)
{
    return value <= 6 ? Unit(value) : Unit::World;
}

int relativeStep(ByteReader& r)
{
    const quint8 first = r.u8();
    if (first & 0x80) {
        int v = ((first & 0x7f) << 8) | r.u8();
        return v & 0x4000 ? v - 0x8000 : v;
    }
    const int v = first & 0x7f;
    return v & 0x40 ? v - 0x80 : v;
}

Gradient twoColours(const QColor& from, const QColor& to)
{
    Gradient g;
    g.stops = {{0.0, from}, {1.0, to}};
    return g;
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// Both blends are a count, that many positions, then one value per position: stops from the
// positions and the colours colourAt reads.
template <class ColourAt>
std::optional<Gradient> blend(ByteReader& r, ColourAt colourAt)
{
    const quint32 count = r.u32();
    if (!r.ok() || count < 2 || !r.has(qint64(count) * 8))
        return std::nullopt;
    QList<double> positions;
    bool ok = true;
    for (quint32 i = 0; i < count; ++i)
        positions.append(real(r, &ok));
    Gradient g;
    for (quint32 i = 0; i < count; ++i)
        g.stops.append({std::clamp(positions[i], 0.0, 1.0), colourAt(&ok)});
    return ok ? std::optional(g) : std::nullopt;
}

// Preset colours: positions and colours of their own.
std::optional<Gradient> presetColours(ByteReader& r)
{
    return blend(r, [&r](bool*) { return argb(r.u32()); });
}

// Blend factors: how far from the first colour to the second each position is.
std::optional<Gradient> blendFactors(ByteReader& r, const QColor& from, const QColor& to)
{
    return blend(r, [&](bool* ok) { return mix(from, to, real(r, ok)); });
}

// The blend a gradient brush may carry after its fixed fields: preset colours or blend factors,
// else the two colours. False when the flags promise a blend that cannot be read.
bool readBlend(ByteReader& r, quint32 flags, const QColor& from, const QColor& to, Gradient& gradient)
{
    std::optional<Gradient> g;
    if (flags & 0x04)
        g = presetColours(r);
    else if (flags & 0x08)
        g = blendFactors(r, from, to);
    if ((flags & 0x0c) && !g)
        return false;
    gradient = g ? *g : twoColours(from, to);
    return true;
}

std::optional<Image> readImage(ByteReader& r);

std::optional<Brush> solid(ByteReader& r)
{
    Brush b;
    b.colour = argb(r.u32());
    return r.ok() ? std::optional(b) : std::nullopt;
}

std::optional<Brush> hatch(ByteReader& r)
{
    Brush b;
    b.kind = Brush::Kind::Hatch;
    b.hatch = int(r.u32());
    b.colour = argb(r.u32());
    b.back = argb(r.u32());
    return r.ok() ? std::optional(b) : std::nullopt;
}

std::optional<Brush> texture(ByteReader& r)
{
    Brush b;
    b.kind = Brush::Kind::Texture;
    const quint32 flags = r.u32();
    b.wrap = int(r.u32());
    if (flags & 0x02)
        b.transform = matrix(r);
    if (!r.ok())
        return std::nullopt;
    const std::optional<Image> image = readImage(r);
    if (!image || image->bitmap.isNull())
        return std::nullopt;
    b.texture = image->bitmap;
    return b;
}

std::optional<Brush> linearGradient(ByteReader& r)
{
    Brush b;
    b.kind = Brush::Kind::LinearGradient;
    const quint32 flags = r.u32();
    b.wrap = int(r.u32());
    b.rect = rectF(r);
    const QColor start = argb(r.u32());
    const QColor end = argb(r.u32());
    r.skip(8);
    if (flags & 0x02)
        b.transform = matrix(r);
    if (!r.ok() || !(b.rect.width() != 0))
        return std::nullopt;
    if (!readBlend(r, flags, start, end, b.gradient))
        return std::nullopt;
    return b;
}

std::optional<Brush> pathGradient(ByteReader& r)
{
    Brush b;
    b.kind = Brush::Kind::PathGradient;
    const quint32 flags = r.u32();
    b.wrap = int(r.u32());
    const QColor centreColour = argb(r.u32());
    bool ok = true;
    const double cx = real(r, &ok);
    const double cy = real(r, &ok);
    b.centre = QPointF(cx, cy);
    const quint32 surrounding = r.u32();
    if (!r.ok() || !ok || !r.has(qint64(surrounding) * 4))
        return std::nullopt;
    QList<QColor> colours;
    for (quint32 i = 0; i < surrounding; ++i)
        colours.append(argb(r.u32()));
    if (flags & 0x01) {
        const qint32 size = r.i32();
        ByteReader pathData = r.range(r.pos(), size);
        const std::optional<QPainterPath> path = pathData.ok() ? readPath(pathData) : std::nullopt;
        if (!path)
            return std::nullopt;
        b.boundary = *path;
        r.skip(size);
    } else {
        const qint32 count = r.i32();
        const QPolygonF boundary = points(r, count, 0);
        if (boundary.size() < 3)
            return std::nullopt;
        b.boundary.addPolygon(boundary);
        b.boundary.closeSubpath();
    }
    if (flags & 0x02)
        b.transform = matrix(r);
    // Surrounding colours differ along the boundary in GDI+; their average stands for them.
    QColor edge = colours.isEmpty() ? centreColour : colours.first();
    if (colours.size() > 1) {
        double red = 0, green = 0, blue = 0, alpha = 0;
        for (const QColor& c : colours) {
            red += c.redF();
            green += c.greenF();
            blue += c.blueF();
            alpha += c.alphaF();
        }
        const double n = double(colours.size());
        edge = QColor::fromRgbF(float(red / n), float(green / n), float(blue / n), float(alpha / n));
    }
    b.colour = edge;
    if (!readBlend(r, flags, edge, centreColour, b.gradient))
        return std::nullopt;
    if (!r.ok())
        return std::nullopt;
    return b;
}

LineCap::Kind capKind(qint32 value)
{
    switch (value) {
    case 1: return LineCap::Kind::Square;
    case 2: return LineCap::Kind::Round;
    case 3: return LineCap::Kind::Triangle;
    case 0x11: return LineCap::Kind::SquareAnchor;
    case 0x12: return LineCap::Kind::RoundAnchor;
    case 0x13: return LineCap::Kind::DiamondAnchor;
    case 0x14: return LineCap::Kind::ArrowAnchor;
    case 0xff: return LineCap::Kind::Custom;
    default: return LineCap::Kind::Flat;
    }
}

std::optional<LineCap> customCap(ByteReader r)
{
    LineCap cap;
    cap.kind = LineCap::Kind::Custom;
    r.u32();   // version
    const qint32 type = r.i32();
    bool ok = true;
    if (type == 1) {
        cap.arrow = true;
        cap.width = real(r, &ok);
        cap.height = real(r, &ok);
        real(r, &ok);   // middle inset
        cap.filled = r.u32() != 0;
        r.skip(12);     // its own stroke's caps and join
        real(r, &ok);   // miter limit
        cap.widthScale = real(r, &ok);
        return r.ok() && ok ? std::optional(cap) : std::nullopt;
    }
    const quint32 flags = r.u32();
    r.skip(4);          // base cap
    real(r, &ok);       // base inset
    r.skip(12);         // stroke caps and join
    real(r, &ok);       // miter limit
    cap.widthScale = real(r, &ok);
    r.skip(16);         // hot spots
    if (!r.ok() || !ok)
        return std::nullopt;
    for (const quint32 part : {0x01u, 0x02u}) {
        if (!(flags & part))
            continue;
        const qint32 size = r.i32();
        ByteReader pathData = r.range(r.pos(), size);
        std::optional<QPainterPath> path = pathData.ok() ? readPath(pathData) : std::nullopt;
        if (!path)
            return std::nullopt;
        (part == 0x01 ? cap.fill : cap.stroke) = *path;
        r.skip(size);
    }
    cap.filled = !cap.fill.isEmpty();
    return cap;
}

std::optional<Pen> readPen(ByteReader& r)
{
    Pen pen;
    r.u32();   // version
    r.u32();   // type
    const quint32 flags = r.u32();
    pen.unit = unit(r.u32());
    bool ok = true;
    pen.width = real(r, &ok);
    if (flags & 0x0001)
        pen.transform = matrix(r);
    if (flags & 0x0002)
        pen.start.kind = capKind(r.i32());
    if (flags & 0x0004)
        pen.end.kind = capKind(r.i32());
    if (flags & 0x0008)
        pen.join = int(r.u32());
    if (flags & 0x0010)
        pen.miterLimit = real(r, &ok);
    if (flags & 0x0020)
        pen.dashStyle = r.i32();
    if (flags & 0x0040)
        pen.dashCap = r.i32();
    if (flags & 0x0080)
        pen.dashOffset = real(r, &ok);
    if (flags & 0x0100) {
        const quint32 count = r.u32();
        if (!r.has(qint64(count) * 4))
            return std::nullopt;
        for (quint32 i = 0; i < count; ++i)
            pen.dashes.append(real(r, &ok));
    }
    if (flags & 0x0200)
        r.i32();   // alignment
    if (flags & 0x0400) {
        const quint32 count = r.u32();
        r.skip(qint64(count) * 4);   // compound lines are drawn as one
    }
    for (const quint32 part : {0x0800u, 0x1000u}) {
        if (!(flags & part))
            continue;
        const qint32 size = r.i32();
        const ByteReader capData = r.range(r.pos(), size);
        const std::optional<LineCap> cap = capData.ok() ? customCap(capData) : std::nullopt;
        if (!cap)
            return std::nullopt;
        (part == 0x0800 ? pen.start : pen.end) = *cap;
        r.skip(size);
    }
    if (!r.ok() || !ok || pen.width < 0)
        return std::nullopt;
    const std::optional<Brush> brush = readBrush(r);
    if (!brush)
        return std::nullopt;
    pen.brush = *brush;
    return pen;
}

std::optional<QImage> pixelBitmap(ByteReader& r, qint32 width, qint32 height, qint32 stride, quint32 format)
{
    QList<QRgb> palette;
    if (format & 0x00010000) {
        r.u32();   // palette flags
        const quint32 count = r.u32();
        if (!r.ok() || count > 256 || !r.has(qint64(count) * 4))
            return std::nullopt;
        for (quint32 i = 0; i < count; ++i)
            palette.append(argb(r.u32()).rgba());
    }
    const int bits = int((format >> 8) & 0xff);
    if (stride <= 0 || qint64(stride) * 8 < qint64(width) * bits || !r.has(qint64(stride) * height))
        return std::nullopt;
    const bool alpha = format == 0x0026200A || format == 0x000E200B || format == 0x00061007 || (format & 0x00010000);
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const auto* base = reinterpret_cast<const uchar*>(r.at(r.pos(), qint64(stride) * height));
    auto index = [&palette](int i) { return i < palette.size() ? palette[i] : qRgb(0, 0, 0); };
    for (int y = 0; y < height; ++y) {
        const uchar* row = base + qint64(y) * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (format) {
            case 0x00030101: line[x] = index((row[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 0x00030402: line[x] = index((x & 1) ? row[x >> 1] & 0x0f : row[x >> 1] >> 4); break;
            case 0x00030803: line[x] = index(row[x]); break;
            case 0x00101004: line[x] = qRgb(row[2 * x + 1], row[2 * x + 1], row[2 * x + 1]); break;
            case 0x00021005: case 0x00061007: {
                const int v = row[2 * x] | (row[2 * x + 1] << 8);
                line[x] = qRgba(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31,
                                format == 0x00061007 && !(v & 0x8000) ? 0 : 255);
                break;
            }
            case 0x00021006: {
                const int v = row[2 * x] | (row[2 * x + 1] << 8);
                line[x] = qRgb(((v >> 11) & 31) * 255 / 31, ((v >> 5) & 63) * 255 / 63, (v & 31) * 255 / 31);
                break;
            }
            case 0x00021808: line[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]); break;
            case 0x00022009: line[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]); break;
            case 0x0026200A: line[x] = qRgba(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]); break;
            case 0x000E200B: {
                const int a = row[4 * x + 3];
                auto un = [a](int c) { return a ? std::min(255, c * 255 / a) : 0; };
                line[x] = qRgba(un(row[4 * x + 2]), un(row[4 * x + 1]), un(row[4 * x]), a);
                break;
            }
            default:
                return std::nullopt;
            }
        }
    }
    return image;
}

std::optional<Image> readImage(ByteReader& r)
{
    r.u32();   // version
    const quint32 type = r.u32();
    Image image;
    if (type == 1) {
        const qint32 width = r.i32();
        const qint32 height = r.i32();
        const qint32 stride = r.i32();
        const quint32 format = r.u32();
        const quint32 kind = r.u32();
        if (!r.ok())
            return std::nullopt;
        // A compressed bitmap (PNG, JPEG ...) tells its size itself; the fields before may be 0.
        if (kind == 1) {
            QByteArray bytes(r.at(r.pos(), r.remaining()), r.remaining());
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            const QSize size = reader.size();
            if (!size.isValid() || qint64(size.width()) * size.height() > maxPixels)
                return std::nullopt;
            image.bitmap = reader.read();
        } else {
            if (width <= 0 || height <= 0 || qint64(width) * height > maxPixels)
                return std::nullopt;
            const std::optional<QImage> pixels = pixelBitmap(r, width, height, stride, format);
            if (!pixels)
                return std::nullopt;
            image.bitmap = *pixels;
        }
        if (image.bitmap.isNull())
            return std::nullopt;
        image.bitmap = image.bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        image.size = image.bitmap.size();
        return image;
    }
    if (type == 2) {
        r.u32();   // WMF, placeable WMF, EMF, EMF+ only, EMF+ dual: the bytes tell
        const quint32 size = r.u32();
        // GDI+ leaves the placeable header out of the size it gives: the metafile runs to the
        // end of the object.
        const qint64 length = r.remaining();
        if (!r.ok() || size == 0 || size > length)
            return std::nullopt;
        image.metafile = QByteArray(r.at(r.pos(), length), length);
        return image;
    }
    return std::nullopt;
}

} // namespace

std::optional<BitmapClaim> imageClaim(ByteReader r)
{
    r.u32();   // version
    if (r.u32() != 1)
        return std::nullopt;
    const qint32 width = r.i32();
    const qint32 height = r.i32();
    r.u32();   // stride
    r.u32();   // pixel format
    const quint32 kind = r.u32();
    if (!r.ok())
        return std::nullopt;
    if (kind == 1) {
        QByteArray bytes = QByteArray::fromRawData(r.at(r.pos(), r.remaining()), r.remaining());
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        if (!size.isValid())
            return std::nullopt;
        return BitmapClaim {qint64(size.width()) * size.height(), true};
    }
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return BitmapClaim {qint64(width) * height, false};
}

namespace {

std::optional<Region> regionNode(ByteReader& r, int depth)
{
    if (depth > maxRegionDepth)
        return std::nullopt;
    const quint32 type = r.u32();
    if (!r.ok())
        return std::nullopt;
    Region region;
    switch (type) {
    case 0x10000000: {
        const QRectF rect = rectF(r);
        if (!r.ok())
            return std::nullopt;
        region.path.addRect(rect.normalized());
        return region;
    }
    case 0x10000001: {
        const qint32 size = r.i32();
        ByteReader pathData = r.range(r.pos(), size);
        const std::optional<QPainterPath> path = pathData.ok() ? readPath(pathData) : std::nullopt;
        if (!path)
            return std::nullopt;
        region.path = *path;
        r.skip(size);
        return region;
    }
    case 0x10000002:
        return region;
    case 0x10000003:
        region.infinite = true;
        return region;
    case 1: case 2: case 3: case 4: case 5: {
        const std::optional<Region> left = regionNode(r, depth + 1);
        const std::optional<Region> right = left ? regionNode(r, depth + 1) : std::nullopt;
        if (!right)
            return std::nullopt;
        const Region& a = *left;
        const Region& b = *right;
        switch (type) {
        case 1:   // intersect
            if (a.infinite)
                return b;
            if (b.infinite)
                return a;
            region.path = a.path.intersected(b.path);
            return region;
        case 2:   // union
            region.infinite = a.infinite || b.infinite;
            if (!region.infinite)
                region.path = a.path.united(b.path);
            return region;
        case 3:   // xor
            if (a.infinite || b.infinite) {
                region.infinite = true;   // near enough: everything but a shape
                return region;
            }
            region.path = a.path.subtracted(b.path).united(b.path.subtracted(a.path));
            return region;
        case 4:   // exclude b from a
            if (b.infinite)
                return region;
            if (a.infinite) {
                region.infinite = true;
                return region;
            }
            region.path = a.path.subtracted(b.path);
            return region;
        default:  // complement: b without a
            if (a.infinite)
                return region;
            if (b.infinite) {
                region.infinite = true;
                return region;
            }
            region.path = b.path.subtracted(a.path);
            return region;
        }
    }
    default:
        return std::nullopt;
    }
}

} // namespace

QColor argb(quint32 value)
{
    return QColor::fromRgba(value);
}

QRectF rectF(ByteReader& r)
{
    bool ok = true;
    const double x = real(r, &ok);
    const double y = real(r, &ok);
    const double w = real(r, &ok);
    const double h = real(r, &ok);
    return ok ? QRectF(x, y, w, h) : QRectF();
}

QTransform matrix(ByteReader& r)
{
    bool ok = true;
    double v[6];
    for (double& x : v)
        x = real(r, &ok);
    return ok ? QTransform(v[0], v[1], v[2], v[3], v[4], v[5]) : QTransform();
}

QPolygonF points(ByteReader& r, qint64 count, quint16 flags)
{
    QPolygonF result;
    if (count <= 0)
        return result;
    if (flags & Relative) {
        if (!r.has(count * 2))
            return result;
        double x = 0;
        double y = 0;
        result.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            x += relativeStep(r);
            y += relativeStep(r);
            result.append(QPointF(x, y));
        }
    } else if (flags & Compressed) {
        if (!r.has(count * 4))
            return result;
        result.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            const double x = r.i16();
            const double y = r.i16();
            result.append(QPointF(x, y));
        }
    } else {
        if (!r.has(count * 8))
            return result;
        result.reserve(count);
        bool ok = true;
        for (qint64 i = 0; i < count; ++i) {
            const double x = real(r, &ok);
            const double y = real(r, &ok);
            result.append(QPointF(x, y));
        }
        if (!ok)
            return {};
    }
    return r.ok() ? result : QPolygonF();
}

QList<QRectF> rects(ByteReader& r, qint64 count, bool compressed)
{
    QList<QRectF> result;
    if (count <= 0 || !r.has(count * (compressed ? 8 : 16)))
        return result;
    result.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        if (compressed) {
            const double x = r.i16();
            const double y = r.i16();
            const double w = r.i16();
            const double h = r.i16();
            result.append(QRectF(x, y, w, h));
        } else {
            bool ok = true;
            const double x = real(r, &ok);
            const double y = real(r, &ok);
            const double w = real(r, &ok);
            const double h = real(r, &ok);
            if (!ok)
                return {};
            result.append(QRectF(x, y, w, h));
        }
    }
    return result;
}

std::optional<Brush> readBrush(ByteReader& r)
{
    r.u32();   // version
    const quint32 type = r.u32();
    if (!r.ok())
        return std::nullopt;
    switch (type) {
    case 0: return solid(r);
    case 1: return hatch(r);
    case 2: return texture(r);
    case 3: return pathGradient(r);
    case 4: return linearGradient(r);
    default: return std::nullopt;
    }
}

std::optional<QPainterPath> readPath(ByteReader& r)
{
    r.u32();   // version
    const quint32 count = r.u32();
    const quint32 flags = r.u32();
    if (!r.ok() || !r.has(count))
        return std::nullopt;
    const QPolygonF pts = points(r, count, quint16(flags & (Relative | Compressed)));
    if (qint64(pts.size()) != qint64(count))
        return std::nullopt;
    // One type a point, or runs of them.
    QByteArray types;
    types.reserve(count);
    while (types.size() < qsizetype(count)) {
        const quint8 b = r.u8();
        if (!r.ok())
            return std::nullopt;
        if ((flags & 0x1000) && (b & 0x40)) {
            const quint8 type = r.u8();
            const int run = b & 0x3f;
            for (int i = 0; i < run && types.size() < qsizetype(count); ++i)
                types.append(char((b & 0x80) ? (type & ~0x07) | 3 : type));
        } else {
            types.append(char(b));
        }
    }
    QPainterPath path;
    for (quint32 i = 0; i < count; ++i) {
        const quint8 t = quint8(types[i]);
        switch (t & 0x07) {
        case 0:
            path.moveTo(pts[i]);
            break;
        case 3:
            if (i + 2 < count) {
                path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
                i += 2;
            } else {
                path.lineTo(pts[i]);
            }
            break;
        default:
            path.lineTo(pts[i]);
            break;
        }
        if (quint8(types[i]) & 0x80)
            path.closeSubpath();
    }
    return path;
}

std::optional<GraphicsObject> readObject(quint8 type, ByteReader r)
{
    switch (type) {
    case BrushObject:
        if (std::optional<Brush> b = readBrush(r))
            return GraphicsObject(*b);
        return std::nullopt;
    case PenObject:
        if (std::optional<Pen> p = readPen(r))
            return GraphicsObject(*p);
        return std::nullopt;
    case PathObject:
        if (std::optional<QPainterPath> p = readPath(r))
            return GraphicsObject(*p);
        return std::nullopt;
    case RegionObject: {
        r.u32();   // version
        r.u32();   // node count
        if (std::optional<Region> region = regionNode(r, 0))
            return GraphicsObject(*region);
        return std::nullopt;
    }
    case ImageObject:
        if (std::optional<Image> image = readImage(r))
            return GraphicsObject(*image);
        return std::nullopt;
    case FontObject: {
        Font font;
        r.u32();   // version
        bool ok = true;
        font.emSize = real(r, &ok);
        font.unit = unit(r.u32());
        font.style = r.i32();
        r.u32();
        const quint32 length = r.u32();
        const char* name = r.at(r.pos(), qint64(length) * 2);
        if (!r.ok() || !ok || !name || !(font.emSize > 0))
            return std::nullopt;
        for (quint32 i = 0; i < length; ++i) {
            const char16_t c = char16_t(quint8(name[2 * i]) | (quint8(name[2 * i + 1]) << 8));
            if (!c)
                break;
            font.family.append(QChar(c));
        }
        return GraphicsObject(font);
    }
    case StringFormatObject: {
        StringFormat format;
        r.u32();   // version
        format.flags = r.u32();
        r.u32();   // language
        format.alignment = int(r.u32());
        format.lineAlignment = int(r.u32());
        if (!r.ok())
            return std::nullopt;
        return GraphicsObject(format);
    }
    case ImageAttributesObject:
        return GraphicsObject(ImageAttributes());
    default:
        return std::nullopt;
    }
}

} // namespace orv::emfplus
