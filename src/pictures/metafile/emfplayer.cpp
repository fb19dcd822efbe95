#include "emfplayer.h"

#include "dibreader.h"
#include "emfplusplayer.h"
#include "gdicanvas.h"
#include "recordtable.h"
#include "pictures/core/codepages.h"

#include <cmath>
#include <optional>

namespace orv {

using namespace gdi;
using namespace emf;

namespace {

// What a record's handler works with. p reads the whole record and starts after its type and
// size.
struct EmfPlayback
{
    GdiCanvas& canvas;
    GdiState& s;
    const EmfRecord& record;
    ByteReader p;
    quint32 handles;
    QString error;

    bool fail(const QString& message)
    {
        error = message;
        return false;
    }
    bool corrupt()
    {
        return fail(QStringLiteral("enhanced metafile record %1 at byte %2 is corrupt").arg(record.type).arg(record.offset));
    }
    bool tooShort() { return corrupt(); }
    bool objectIndex(quint32 index, bool allowStock)
    {
        if (allowStock && (index & STOCK_FLAG))
            return true;
        if (index != 0 && canvas.validIndex(index))
            return true;
        return fail(QStringLiteral("enhanced metafile record at byte %1 names object %2 of %3").arg(record.offset).arg(index).arg(handles));
    }
};

QTransform xform(ByteReader& r)
{
    const double m11 = r.f32();
    const double m12 = r.f32();
    const double m21 = r.f32();
    const double m22 = r.f32();
    const double dx = r.f32();
    const double dy = r.f32();
    return QTransform(m11, m12, m21, m22, dx, dy);
}

QPolygonF points(ByteReader& r, qint64 count, bool small)
{
    return QPolygonF(readPoints(r, count, small));
}

QString utf16(const char* p, quint32 count)
{
    QString string;
    for (quint32 i = 0; i < count; ++i)
        string.append(QChar(char16_t(quint8(p[2 * i]) | (quint8(p[2 * i + 1]) << 8))));
    return string;
}

// The bitmap a record carries at the given offsets. A bitmap whose own fields do not add up is
// left out (a null image) and the file around it still plays; offsets outside the record are
// corrupt.
// A bitmap drawn at dest (logical units) is decoded only when it lands on the surface.
// scanCount, when given, makes the bits a band of that many rows from startScan on.
bool bitmapAt(EmfPlayback& r, quint32 offBmi, quint32 cbBmi, quint32 offBits, quint32 cbBits, quint32 usage,
              QImage* image, bool* bottomUp, bool keepAlpha = false, const std::optional<QRectF>& dest = {},
              quint32 startScan = 0, quint32 scanCount = 0)
{
    const ByteReader info = r.record.data.range(offBmi, cbBmi);
    const ByteReader bits = r.record.data.range(offBits, cbBits);
    if (!info.ok() || !bits.ok())
        return r.corrupt();
    const bool shown = !dest || r.canvas.reaches(*dest);
    const DibReader::Result dib = decodeWithin(r.canvas.budget(), shown, info, bits, usage == 1, r.s.palette, keepAlpha,
                                               startScan, scanCount);
    *image = dib.image;
    *bottomUp = dib.bottomUp;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Objects

bool selectObject(EmfPlayback& r)
{
    const quint32 index = r.p.u32();
    if (!r.objectIndex(index, true))
        return false;
    if (index & STOCK_FLAG)
        r.canvas.selectStockObject(index);
    else
        r.canvas.selectObject(int(index));
    return true;
}

bool selectPalette(EmfPlayback& r)
{
    const quint32 index = r.p.u32();
    if (!r.objectIndex(index, true))
        return false;
    if (index & STOCK_FLAG)
        r.canvas.selectStockObject(DEFAULT_PALETTE);
    else if (std::holds_alternative<GdiPalette>(r.canvas.object(int(index))))
        r.canvas.selectObject(int(index));
    return true;
}

bool deleteObject(EmfPlayback& r)
{
    const quint32 index = r.p.u32();
    if (!r.objectIndex(index, true))
        return false;
    if (!(index & STOCK_FLAG))
        r.canvas.deleteObject(int(index));
    return true;
}

// The records that create an object name its slot first; slot 0 is the metafile itself. Some
// writers count their handles short in the header: the table grows to take the object.
bool readSlot(EmfPlayback& r, int* slot)
{
    constexpr quint32 maxHandles = 0x10000;
    const quint32 index = r.p.u32();
    if (index != 0 && index < maxHandles && !r.canvas.validIndex(index))
        r.canvas.setObjectTableSize(int(index) + 1);
    if (!r.objectIndex(index, false))
        return false;
    *slot = int(index);
    return true;
}

bool createPen(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    GdiPen pen;
    pen.style = r.p.u32();
    pen.width = std::abs(double(r.p.i32()));
    r.p.i32();
    pen.colour = r.canvas.colour(r.p.u32());
    pen.cosmetic = pen.width == 0;
    pen.style &= ~quint32(PS_GEOMETRIC);
    r.canvas.setObject(slot, pen);
    return true;
}

bool extCreatePen(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    r.p.skip(16);   // bitmap offsets: pattern pens draw in their colour
    GdiPen pen;
    pen.style = r.p.u32();
    pen.width = r.p.u32();
    const quint32 brushStyle = r.p.u32();
    pen.colour = r.canvas.colour(r.p.u32());
    r.p.u32();
    const quint32 entries = r.p.u32();
    if (!r.p.has(qint64(entries) * 4))
        return r.corrupt();
    for (quint32 i = 0; i < entries && i < 16; ++i)
        pen.dashes.append(r.p.u32());
    pen.cosmetic = !(pen.style & PS_GEOMETRIC);
    if (brushStyle == BS_NULL)
        pen.style = (pen.style & ~quint32(PS_STYLE_MASK)) | PS_NULL;
    r.canvas.setObject(slot, pen);
    return true;
}

bool createBrush(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    GdiBrush brush;
    const quint32 style = r.p.u32();
    brush.colour = r.canvas.colour(r.p.u32());
    brush.hatch = int(r.p.u32() & 0xff);
    brush.kind = style == BS_NULL ? GdiBrush::Kind::Null
        : style == BS_HATCHED     ? GdiBrush::Kind::Hatched
                                  : GdiBrush::Kind::Solid;
    r.canvas.setObject(slot, brush);
    return true;
}

bool createPatternBrush(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    const quint32 usage = r.p.u32();
    const quint32 offBmi = r.p.u32();
    const quint32 cbBmi = r.p.u32();
    const quint32 offBits = r.p.u32();
    const quint32 cbBits = r.p.u32();
    GdiBrush brush;
    brush.kind = GdiBrush::Kind::Pattern;
    brush.colour = Qt::black;
    bool bottomUp = true;
    if (!bitmapAt(r, offBmi, cbBmi, offBits, cbBits, usage, &brush.pattern, &bottomUp))
        return false;
    brush.monochrome = r.record.type == EMR_CREATEMONOBRUSH;
    r.canvas.setObject(slot, brush);
    return true;
}

bool createFont(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    ByteReader& p = r.p;
    GdiFont font;
    font.height = p.i32();
    font.width = p.i32();
    font.escapement = p.i32();
    p.i32();
    font.weight = p.i32();
    font.italic = p.u8();
    font.underline = p.u8();
    font.strikeOut = p.u8();
    font.charset = p.u8();
    p.skip(3);
    font.pitchAndFamily = p.u8();
    const auto* face = reinterpret_cast<const uchar*>(p.at(p.pos(), 64));
    for (int i = 0; i < 32; ++i) {
        const char16_t c = char16_t(face[2 * i] | (face[2 * i + 1] << 8));
        if (!c)
            break;
        font.face.append(QChar(c));
    }
    r.canvas.setObject(slot, font);
    return true;
}

bool createPalette(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    r.p.u16();
    const quint16 count = r.p.u16();
    if (!r.p.has(qint64(count) * 4))
        return r.corrupt();
    GdiPalette palette;
    for (int i = 0; i < count; ++i) {
        const quint8 red = r.p.u8();
        const quint8 green = r.p.u8();
        const quint8 blue = r.p.u8();
        r.p.u8();
        palette.colours.append(qRgb(red, green, blue));
    }
    r.canvas.setObject(slot, palette);
    return true;
}

bool setPaletteEntries(EmfPlayback& r)
{
    int slot = 0;
    if (!readSlot(r, &slot))
        return false;
    const quint32 start = r.p.u32();
    const quint32 count = r.p.u32();
    if (!r.p.has(qint64(count) * 4))
        return r.corrupt();
    const auto* existing = std::get_if<GdiPalette>(&r.canvas.object(slot));
    if (!existing)
        return true;
    GdiPalette palette = *existing;
    for (quint32 i = 0; i < count; ++i) {
        const quint8 red = r.p.u8();
        const quint8 green = r.p.u8();
        const quint8 blue = r.p.u8();
        r.p.u8();
        if (start + i < quint32(palette.colours.size()))
            palette.colours[start + i] = qRgb(red, green, blue);
    }
    r.canvas.setObject(slot, std::move(palette));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Shapes

bool arc(EmfPlayback& r)
{
    const QRectF box = rectl(r.p);
    const QPointF start = pointl(r.p);
    const QPointF end = pointl(r.p);
    const quint32 type = r.record.type;
    const auto kind = type == EMR_ARC ? GdiCanvas::ArcKind::Arc
        : type == EMR_ARCTO          ? GdiCanvas::ArcKind::ArcTo
        : type == EMR_CHORD          ? GdiCanvas::ArcKind::Chord
                                     : GdiCanvas::ArcKind::Pie;
    r.canvas.arc(box, start, end, kind);
    return true;
}

bool isSmall(quint32 type)
{
    return type >= EMR_POLYBEZIER16;
}

// POLYBEZIER, POLYGON, POLYLINE, POLYBEZIERTO, POLYLINETO and their 16-bit forms.
bool poly(EmfPlayback& r)
{
    const bool small = isSmall(r.record.type);
    r.p.skip(16);   // bounds
    const quint32 count = r.p.u32();
    if (!r.p.has(qint64(count) * (small ? 4 : 8)))
        return r.corrupt();
    const QPolygonF pts = points(r.p, count, small);
    switch (small ? r.record.type - EMR_POLYBEZIER16 + EMR_POLYBEZIER : r.record.type) {
    case EMR_POLYBEZIER: r.canvas.polyBezier(pts); break;
    case EMR_POLYGON: r.canvas.polygon(pts); break;
    case EMR_POLYLINE: r.canvas.polyline(pts); break;
    case EMR_POLYBEZIERTO: r.canvas.polyBezierTo(pts); break;
    case EMR_POLYLINETO: r.canvas.polylineTo(pts); break;
    default: break;
    }
    return true;
}

bool polyPoly(EmfPlayback& r)
{
    const bool small = isSmall(r.record.type);
    r.p.skip(16);   // bounds
    const quint32 polys = r.p.u32();
    const quint32 total = r.p.u32();
    if (!r.p.has(qint64(polys) * 4 + qint64(total) * (small ? 4 : 8)))
        return r.corrupt();
    QList<quint32> counts;
    qint64 sum = 0;
    for (quint32 i = 0; i < polys; ++i) {
        counts.append(r.p.u32());
        sum += counts.last();
    }
    if (sum > total)
        return r.corrupt();
    QList<QPolygonF> shapes;
    for (quint32 c : counts)
        shapes.append(points(r.p, c, small));
    if (r.record.type == EMR_POLYPOLYGON || r.record.type == EMR_POLYPOLYGON16)
        r.canvas.polyPolygon(shapes);
    else
        r.canvas.polyPolyline(shapes);
    return true;
}

bool polyDraw(EmfPlayback& r)
{
    const bool small = isSmall(r.record.type);
    r.p.skip(16);   // bounds
    const quint32 count = r.p.u32();
    if (!r.p.has(qint64(count) * ((small ? 4 : 8) + 1)))
        return r.corrupt();
    const QPolygonF pts = points(r.p, count, small);
    r.canvas.polyDraw(pts, QByteArray(r.p.at(r.p.pos(), count), count));
    return true;
}

bool gradientFill(EmfPlayback& r)
{
    ByteReader& p = r.p;
    p.skip(16);
    const quint32 vertices = p.u32();
    const quint32 shapes = p.u32();
    const quint32 mode = p.u32();
    const qint64 shapeSize = mode == 2 ? 12 : 8;
    if (!p.has(qint64(vertices) * 16 + qint64(shapes) * shapeSize))
        return r.corrupt();
    QList<QPointF> pts;
    QList<QColor> colours;
    for (quint32 i = 0; i < vertices; ++i) {
        pts.append(pointl(p));
        const int red = p.u16() >> 8;
        const int green = p.u16() >> 8;
        const int blue = p.u16() >> 8;
        p.u16();
        colours.append(QColor(red, green, blue));
    }
    for (quint32 i = 0; i < shapes; ++i) {
        const quint32 a = p.u32();
        const quint32 b = p.u32();
        const quint32 c = mode == 2 ? p.u32() : 0;
        if (a >= vertices || b >= vertices || c >= std::max(vertices, 1u))
            continue;
        if (mode == 2) {
            r.canvas.gradientTriangle(QPolygonF({pts[a], pts[b], pts[c]}), {colours[a], colours[b], colours[c]});
        } else {
            r.canvas.gradientRect(QRectF(pts[a], pts[b]), colours[a], colours[b], mode == 1);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Regions

bool selectClipRegion(EmfPlayback& r)
{
    const quint32 size = r.p.u32();
    const quint32 mode = r.p.u32();
    if (size == 0) {
        if (mode == RGN_COPY)
            r.canvas.resetClip();
        return true;
    }
    const std::optional<QList<QRect>> region = readRegionData(r.p.range(16, size));
    if (!region)
        return r.corrupt();
    r.canvas.selectClipRegion(*region, int(mode));
    return true;
}

// FILLRGN, FRAMERGN, INVERTRGN and PAINTRGN: bounds, the region's size, the brush and stroke
// of those that have them, then the region.
bool paintRegion(EmfPlayback& r)
{
    const quint32 type = r.record.type;
    r.p.skip(16);   // bounds
    const quint32 size = r.p.u32();
    quint32 brush = 0;
    QSizeF stroke;
    if (type == EMR_FILLRGN || type == EMR_FRAMERGN)
        brush = r.p.u32();
    if (type == EMR_FRAMERGN)
        stroke = sizel(r.p);
    const std::optional<QList<QRect>> region = readRegionData(r.p.range(r.p.pos(), size));
    if (!region)
        return r.corrupt();
    GdiBrush chosen = r.s.brush;
    if (type == EMR_FILLRGN || type == EMR_FRAMERGN) {
        if (!r.objectIndex(brush, true))
            return false;
        if (brush & STOCK_FLAG) {
            const GdiBrush saved = r.s.brush;
            r.canvas.selectStockObject(brush);
            chosen = r.s.brush;
            r.s.brush = saved;
        } else if (const auto* b = std::get_if<GdiBrush>(&r.canvas.object(int(brush)))) {
            chosen = *b;
        } else {
            return true;
        }
    }
    switch (type) {
    case EMR_FILLRGN:
    case EMR_PAINTRGN: r.canvas.fillRegion(*region, chosen); break;
    case EMR_FRAMERGN: r.canvas.frameRegion(*region, chosen, stroke); break;
    case EMR_INVERTRGN: r.canvas.invertRegion(*region); break;
    default: break;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Text

void drawText(EmfPlayback& r, QPointF reference, QString string, const QList<QPointF>& advances, quint32 options,
              const std::optional<QRectF>& box)
{
    // Glyph indices name shapes in a font file we do not have; only the core fonts' order
    // gives their text back.
    if (options & ETO_GLYPH_INDEX)
        string = standardOrderGlyphText(string, r.s.font.face);
    r.canvas.textOut(reference, string, advances, options, box);
}

bool smallTextOut(EmfPlayback& r)
{
    ByteReader& p = r.p;
    const QPointF reference = pointl(p);
    const quint32 count = p.u32();
    const quint32 options = p.u32();
    p.skip(12);   // graphics mode, scales
    std::optional<QRectF> box;
    if (!(options & 0x100))
        box = rectl(p);
    const bool eightBit = options & 0x200;
    const qint64 bytes = qint64(count) * (eightBit ? 1 : 2);
    if (!p.ok() || !p.has(bytes))
        return r.corrupt();
    const char* chars = p.at(p.pos(), bytes);
    const QString string = eightBit ? decodeCodePage(chars, count, r.s.font.charset) : utf16(chars, count);
    drawText(r, reference, string, {}, options, box);
    return true;
}

bool extTextOut(EmfPlayback& r)
{
    ByteReader& p = r.p;
    p.skip(16);   // bounds
    p.skip(12);   // graphics mode, scales
    const QPointF reference = pointl(p);
    const quint32 count = p.u32();
    const quint32 offString = p.u32();
    const quint32 options = p.u32();
    const QRectF rect = rectl(p);
    const quint32 offDx = p.u32();
    std::optional<QRectF> box;
    if (options & (ETO_OPAQUE | ETO_CLIPPED))
        box = rect;
    const bool wide = r.record.type == EMR_EXTTEXTOUTW;
    const char* chars = r.record.data.at(offString, qint64(count) * (wide ? 2 : 1));
    if (count && !chars)
        return r.corrupt();
    QString string;
    if (wide)
        string = utf16(chars, count);
    else if (count)
        string = decodeCodePage(chars, count, r.s.font.charset);
    QList<QPointF> advances;
    if (offDx && count) {
        const bool pairs = options & ETO_PDY;
        ByteReader dx = r.record.data.range(offDx, qint64(count) * (pairs ? 8 : 4));
        if (!dx.ok())
            return r.corrupt();
        for (quint32 i = 0; i < count; ++i) {
            const double x = dx.i32();
            const double y = pairs ? dx.i32() : 0;
            advances.append(QPointF(x, y));
        }
    }
    drawText(r, reference, string, advances, options, box);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

struct BitmapFields
{
    QRectF dest;
    QRectF src;
    quint32 rop = SRCCOPY;
    quint32 usage = 0;
    quint32 offBmi = 0;
    quint32 cbBmi = 0;
    quint32 offBits = 0;
    quint32 cbBits = 0;
    quint32 startScan = 0;
    quint32 scanCount = 0;   // SETDIBITSTODEVICE: the bits are a band of this many rows
    bool flipSource = false;
};

// STRETCHDIBITS and SETDIBITSTODEVICE: bottom-up sources placed in device-independent pixels.
BitmapFields dibFields(EmfPlayback& r)
{
    ByteReader& p = r.p;
    BitmapFields f;
    p.skip(16);   // bounds
    const QPointF d = pointl(p);
    const QPointF sp = pointl(p);
    const QSizeF ss = sizel(p);
    f.offBmi = p.u32();
    f.cbBmi = p.u32();
    f.offBits = p.u32();
    f.cbBits = p.u32();
    f.usage = p.u32();
    QSizeF ds = ss;
    if (r.record.type == EMR_STRETCHDIBITS) {
        f.rop = p.u32();
        ds = sizel(p);
    } else {
        f.startScan = p.u32();
        f.scanCount = p.u32();
    }
    f.dest = QRectF(d, ds);
    f.src = QRectF(sp, ss);
    f.flipSource = true;
    return f;
}

// BITBLT, STRETCHBLT, ALPHABLEND and TRANSPARENTBLT: a source device with its own transform.
BitmapFields bltFields(EmfPlayback& r)
{
    ByteReader& p = r.p;
    BitmapFields f;
    p.skip(16);   // bounds
    const QPointF d = pointl(p);
    const QSizeF ds = sizel(p);
    f.rop = p.u32();
    const QPointF sp = pointl(p);
    const QTransform sourceTransform = xform(p);
    p.u32();      // source background colour
    f.usage = p.u32();
    f.offBmi = p.u32();
    f.cbBmi = p.u32();
    f.offBits = p.u32();
    f.cbBits = p.u32();
    QSizeF ss = ds;
    if (r.record.type != EMR_BITBLT)
        ss = sizel(p);
    f.dest = QRectF(d, ds);
    f.src = QRectF(sp, ss);
    // The source rectangle is in the source device's logical units; a plain scale and offset
    // from there to its pixels is honoured, anything else read as identity.
    const QRectF mapped = sourceTransform.mapRect(f.src);
    if (sourceTransform.type() <= QTransform::TxScale && sourceTransform.determinant() != 0
        && std::isfinite(mapped.width()) && std::isfinite(mapped.height()) && std::abs(mapped.left()) < 1e9
        && std::abs(mapped.top()) < 1e9 && mapped.width() < 1e9 && mapped.height() < 1e9)
        f.src = mapped;
    return f;
}

bool blit(EmfPlayback& r)
{
    const quint32 type = r.record.type;
    BitmapFields f = type == EMR_STRETCHDIBITS || type == EMR_SETDIBITSTODEVICE ? dibFields(r) : bltFields(r);
    if (f.cbBmi == 0) {
        if (type == EMR_BITBLT || type == EMR_STRETCHBLT)
            r.canvas.patBlt(f.dest, f.rop);
        return true;
    }
    QImage image;
    bool bottomUp = true;
    const bool alpha = type == EMR_ALPHABLEND && ((f.rop >> 24) & 1);
    if (!bitmapAt(r, f.offBmi, f.cbBmi, f.offBits, f.cbBits, f.usage, &image, &bottomUp, alpha, f.dest, f.startScan,
                  f.scanCount))
        return false;
    if (image.isNull())
        return true;
    // A band's rows are numbered from its first scan line.
    if (f.scanCount)
        f.src.moveTop(f.src.top() - f.startScan);
    if (f.flipSource && bottomUp)
        f.src.moveTop(image.height() - f.src.top() - f.src.height());
    if (type == EMR_ALPHABLEND) {
        const double constant = ((f.rop >> 16) & 0xff) / 255.0;
        if (alpha) {
            // The source is premultiplied already; keep colours within their alpha.
            image = image.convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const int a = qAlpha(line[x]);
                    line[x] = qRgba(std::min(qRed(line[x]), a), std::min(qGreen(line[x]), a), std::min(qBlue(line[x]), a), a);
                }
            }
            image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        }
        r.canvas.alphaBlend(f.dest, image, f.src, constant);
        return true;
    }
    if (type == EMR_TRANSPARENTBLT) {
        const QRgb key = r.canvas.colour(f.rop).rgb() & 0xffffff;
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0xffffff) == key)
                    line[x] = 0;
            }
        }
        r.canvas.alphaBlend(f.dest, image, f.src, 1.0);
        return true;
    }
    r.canvas.stretchBlt(f.dest, image, f.src, f.rop);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The records we play. The header, comments (EMF+ is played by EmfPlusPlayer), colour
// management, layout and the like change nothing we draw and have no handler.

using Handler = RecordHandler<EmfPlayback>;

const auto& records()
{
    static const RecordTable table(std::to_array<Handler>({
        // State
        {EMR_SAVEDC, 0, [](EmfPlayback& r) { r.canvas.saveDC(); return true; }},
        {EMR_RESTOREDC, 4, [](EmfPlayback& r) { r.canvas.restoreDC(r.p.i32()); return true; }},
        {EMR_SETBKMODE, 4, [](EmfPlayback& r) {
             const quint32 mode = r.p.u32();
             if (mode == 1 || mode == 2)
                 r.s.opaqueBackground = mode == 2;
             return true;
         }},
        {EMR_SETPOLYFILLMODE, 4, [](EmfPlayback& r) { r.s.windingFill = r.p.u32() == 2; return true; }},
        {EMR_SETROP2, 4, [](EmfPlayback& r) { r.s.rop2 = int(r.p.u32() & 0xff); return true; }},
        {EMR_SETSTRETCHBLTMODE, 4, [](EmfPlayback& r) { r.s.stretchMode = int(r.p.u32() & 0xff); return true; }},
        {EMR_SETTEXTALIGN, 4, [](EmfPlayback& r) { r.s.textAlign = r.p.u32(); return true; }},
        {EMR_SETTEXTCOLOR, 4, [](EmfPlayback& r) { r.s.textColour = r.canvas.colour(r.p.u32()); return true; }},
        {EMR_SETBKCOLOR, 4, [](EmfPlayback& r) { r.s.bkColour = r.canvas.colour(r.p.u32()); return true; }},
        {EMR_SETBRUSHORGEX, 8, [](EmfPlayback& r) { r.s.brushOrigin = pointl(r.p); return true; }},
        {EMR_SETARCDIRECTION, 4, [](EmfPlayback& r) { r.s.clockwiseArcs = r.p.u32() == AD_CLOCKWISE; return true; }},
        {EMR_SETMITERLIMIT, 4, [](EmfPlayback& r) {
             const quint32 limit = r.p.u32();
             if (limit >= 1 && limit <= 1000)
                 r.s.miterLimit = limit;
             return true;
         }},

        // Mapping
        {EMR_SETMAPMODE, 4, [](EmfPlayback& r) { r.canvas.setMapMode(int(r.p.u32())); return true; }},
        {EMR_SETWINDOWEXTEX, 8, [](EmfPlayback& r) { r.canvas.setWindowExt(sizel(r.p)); return true; }},
        {EMR_SETWINDOWORGEX, 8, [](EmfPlayback& r) { r.canvas.setWindowOrg(pointl(r.p)); return true; }},
        {EMR_SETVIEWPORTEXTEX, 8, [](EmfPlayback& r) { r.canvas.setViewportExt(sizel(r.p)); return true; }},
        {EMR_SETVIEWPORTORGEX, 8, [](EmfPlayback& r) { r.canvas.setViewportOrg(pointl(r.p)); return true; }},
        {EMR_SCALEVIEWPORTEXTEX, 16, [](EmfPlayback& r) {
             const double xNum = r.p.i32();
             const double xDenom = r.p.i32();
             const double yNum = r.p.i32();
             const double yDenom = r.p.i32();
             r.canvas.scaleViewportExt(xNum, xDenom, yNum, yDenom);
             return true;
         }},
        {EMR_SCALEWINDOWEXTEX, 16, [](EmfPlayback& r) {
             const double xNum = r.p.i32();
             const double xDenom = r.p.i32();
             const double yNum = r.p.i32();
             const double yDenom = r.p.i32();
             r.canvas.scaleWindowExt(xNum, xDenom, yNum, yDenom);
             return true;
         }},
        {EMR_SETWORLDTRANSFORM, 24, [](EmfPlayback& r) { r.canvas.modifyWorldTransform(xform(r.p), 4); return true; }},
        {EMR_MODIFYWORLDTRANSFORM, 28, [](EmfPlayback& r) {
             const QTransform t = xform(r.p);
             r.canvas.modifyWorldTransform(t, int(r.p.u32()));
             return true;
         }},

        // Objects
        {EMR_SELECTOBJECT, 4, selectObject},
        {EMR_SELECTPALETTE, 4, selectPalette},
        {EMR_DELETEOBJECT, 4, deleteObject},
        {EMR_CREATEPEN, 20, createPen},
        {EMR_EXTCREATEPEN, 44, extCreatePen},
        {EMR_CREATEBRUSHINDIRECT, 16, createBrush},
        {EMR_CREATEDIBPATTERNBRUSHPT, 24, createPatternBrush},
        {EMR_CREATEMONOBRUSH, 24, createPatternBrush},
        {EMR_EXTCREATEFONTINDIRECTW, 96, createFont},
        {EMR_CREATEPALETTE, 8, createPalette},
        {EMR_SETPALETTEENTRIES, 12, setPaletteEntries},

        // Lines and shapes
        {EMR_MOVETOEX, 8, [](EmfPlayback& r) { r.canvas.moveTo(pointl(r.p)); return true; }},
        {EMR_LINETO, 8, [](EmfPlayback& r) { r.canvas.lineTo(pointl(r.p)); return true; }},
        {EMR_SETPIXELV, 12, [](EmfPlayback& r) {
             const QPointF pt = pointl(r.p);
             r.canvas.setPixel(pt, r.canvas.colour(r.p.u32()));
             return true;
         }},
        {EMR_RECTANGLE, 16, [](EmfPlayback& r) { r.canvas.rectangle(rectl(r.p)); return true; }},
        {EMR_ELLIPSE, 16, [](EmfPlayback& r) { r.canvas.ellipse(rectl(r.p)); return true; }},
        {EMR_ROUNDRECT, 24, [](EmfPlayback& r) {
             const QRectF box = rectl(r.p);
             r.canvas.roundRect(box, sizel(r.p));
             return true;
         }},
        {EMR_ARC, 32, arc},
        {EMR_ARCTO, 32, arc},
        {EMR_CHORD, 32, arc},
        {EMR_PIE, 32, arc},
        {EMR_ANGLEARC, 20, [](EmfPlayback& r) {
             const QPointF centre = pointl(r.p);
             const double radius = r.p.u32();
             const double start = r.p.f32();
             const double sweep = r.p.f32();
             r.canvas.angleArc(centre, radius, start, sweep);
             return true;
         }},
        {EMR_POLYBEZIER, 20, poly},
        {EMR_POLYGON, 20, poly},
        {EMR_POLYLINE, 20, poly},
        {EMR_POLYBEZIERTO, 20, poly},
        {EMR_POLYLINETO, 20, poly},
        {EMR_POLYBEZIER16, 20, poly},
        {EMR_POLYGON16, 20, poly},
        {EMR_POLYLINE16, 20, poly},
        {EMR_POLYBEZIERTO16, 20, poly},
        {EMR_POLYLINETO16, 20, poly},
        {EMR_POLYPOLYLINE, 24, polyPoly},
        {EMR_POLYPOLYGON, 24, polyPoly},
        {EMR_POLYPOLYLINE16, 24, polyPoly},
        {EMR_POLYPOLYGON16, 24, polyPoly},
        {EMR_POLYDRAW, 20, polyDraw},
        {EMR_POLYDRAW16, 20, polyDraw},
        {EMR_GRADIENTFILL, 28, gradientFill},

        // Paths
        {EMR_BEGINPATH, 0, [](EmfPlayback& r) { r.canvas.beginPath(); return true; }},
        {EMR_ENDPATH, 0, [](EmfPlayback& r) { r.canvas.endPath(); return true; }},
        {EMR_ABORTPATH, 0, [](EmfPlayback& r) { r.canvas.abortPath(); return true; }},
        {EMR_CLOSEFIGURE, 0, [](EmfPlayback& r) { r.canvas.closeFigure(); return true; }},
        {EMR_FILLPATH, 0, [](EmfPlayback& r) { r.canvas.fillPath(); return true; }},
        {EMR_STROKEPATH, 0, [](EmfPlayback& r) { r.canvas.strokePath(); return true; }},
        {EMR_STROKEANDFILLPATH, 0, [](EmfPlayback& r) { r.canvas.strokeAndFillPath(); return true; }},
        {EMR_FLATTENPATH, 0, [](EmfPlayback& r) { r.canvas.flattenPath(); return true; }},
        {EMR_WIDENPATH, 0, [](EmfPlayback& r) { r.canvas.widenPath(); return true; }},
        {EMR_SELECTCLIPPATH, 4, [](EmfPlayback& r) { r.canvas.selectClipPath(int(r.p.u32())); return true; }},

        // Clipping and regions
        {EMR_INTERSECTCLIPRECT, 16, [](EmfPlayback& r) { r.canvas.intersectClipRect(rectl(r.p)); return true; }},
        {EMR_EXCLUDECLIPRECT, 16, [](EmfPlayback& r) { r.canvas.excludeClipRect(rectl(r.p)); return true; }},
        {EMR_OFFSETCLIPRGN, 8, [](EmfPlayback& r) { r.canvas.offsetClip(pointl(r.p)); return true; }},
        {EMR_EXTSELECTCLIPRGN, 8, selectClipRegion},
        {EMR_FILLRGN, 24, paintRegion},
        {EMR_FRAMERGN, 32, paintRegion},
        {EMR_INVERTRGN, 20, paintRegion},
        {EMR_PAINTRGN, 20, paintRegion},

        // Text
        {EMR_EXTTEXTOUTW, 68, extTextOut},
        {EMR_EXTTEXTOUTA, 68, extTextOut},
        {EMR_SMALLTEXTOUT, 28, smallTextOut},

        // Bitmaps
        {EMR_BITBLT, 92, blit},
        {EMR_STRETCHBLT, 100, blit},
        {EMR_STRETCHDIBITS, 72, blit},
        {EMR_SETDIBITSTODEVICE, 60, blit},
        {EMR_ALPHABLEND, 100, blit},
        {EMR_TRANSPARENTBLT, 100, blit},
    }));
    return table;
}

} // namespace

EmfPlayer::EmfPlayer(const QByteArray& data)
    : m_file(data)
{
}

bool EmfPlayer::open(std::stop_token)
{
    return m_file.open() || fail(m_file.error());
}

bool EmfPlayer::play(GdiCanvas& canvas)
{
    canvas.setObjectTableSize(int(m_file.handles()));
    EmfPlusPlayer plus(canvas);
    // However playing ends, the canvas paints again afterwards.
    struct Unsuppress
    {
        GdiCanvas& canvas;
        ~Unsuppress() { canvas.setPaintingSuppressed(false); }
    } unsuppress {canvas};
    qint64 pos = 0;
    EmfRecord record;
    while (pos < m_file.size()) {
        // Past its budget a render keeps what it drew.
        if (!canvas.budget().nextRecord())
            return true;
        QString why;
        if (!m_file.nextRecord(pos, record, &why))
            return fail(why);
        if (record.type == EMR_EOF)
            return true;
        if (record.type == EMR_GDICOMMENT) {
            ByteReader comment = record.data;
            comment.seek(8);
            const quint32 size = comment.u32();
            if (plus.playComment(record.data.range(12, std::min<qint64>(size, record.data.size() - 12)))) {
                canvas.setPaintingSuppressed(!plus.emfDraws());
                continue;
            }
        }
        EmfPlayback playback {canvas, canvas.state(), record, record.data, m_file.handles(), {}};
        playback.p.seek(8);
        if (!records().play(record.type, record.data.size() - 8, playback))
            return fail(playback.error);
    }
    return fail(QStringLiteral("enhanced metafile is truncated: it has no end record"));
}

} // namespace orv
