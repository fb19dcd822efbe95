#include "wmfplayer.h"

#include "dibreader.h"
#include "gdicanvas.h"
#include "recordtable.h"
#include "pictures/core/codepages.h"

#include <cmath>
#include <optional>

namespace orv {

using namespace gdi;
using namespace wmf;

namespace {

// What a record's handler works with. p starts at the record's parameters.
struct WmfPlayback
{
    GdiCanvas& canvas;
    GdiState& s;
    const WmfRecord& record;
    ByteReader p;
    quint16 objectCount;
    QString error;

    bool fail(const QString& message)
    {
        error = message;
        return false;
    }
    bool tooShort() { return fail(QStringLiteral("metafile record at byte %1 is too short").arg(record.offset)); }
    bool checkedIndex(quint16 index)
    {
        if (canvas.validIndex(index))
            return true;
        return fail(QStringLiteral("metafile record at byte %1 names object %2 of %3").arg(record.offset).arg(index).arg(objectCount));
    }
};

QPolygonF points(ByteReader& p, qint64 count)
{
    return QPolygonF(readPoints(p, count));
}

QSizeF reversedSize(ByteReader& p)
{
    const QPointF e = reversedPoint(p);
    return QSizeF(e.x(), e.y());
}

// Old-style device-dependent bitmaps (BITMAP16): monochrome, 24 or 32 bits.
QImage bitmap16(ByteReader r, const GdiCanvas& canvas)
{
    r.i16();
    const qint16 width = r.i16();
    const qint16 height = r.i16();
    const qint16 widthBytes = r.i16();
    const quint8 planes = r.u8();
    const quint8 bpp = r.u8();
    if (!r.ok() || width <= 0 || height <= 0 || widthBytes <= 0 || planes != 1)
        return {};
    if ((bpp != 1 && bpp != 24 && bpp != 32) || widthBytes < (qint64(width) * bpp + 7) / 8)
        return {};
    if (!r.has(qint64(widthBytes) * height))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // A monochrome bitmap's zero bits show the text colour and its one bits the background.
    const QRgb zero = canvas.state().textColour.rgb();
    const QRgb one = canvas.state().bkColour.rgb();
    const auto* base = reinterpret_cast<const uchar*>(r.at(r.pos(), qint64(widthBytes) * height));
    for (int y = 0; y < height; ++y) {
        const uchar* row = base + qint64(y) * widthBytes;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bpp == 1)
                line[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? one : zero;
            else
                line[x] = qRgb(row[x * (bpp / 8) + 2], row[x * (bpp / 8) + 1], row[x * (bpp / 8)]);
        }
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Objects

// New objects take the lowest free slot of the table.
bool addObject(WmfPlayback& r, GdiObject object)
{
    int slot = r.canvas.freeSlot();
    if (slot < 0) {
        // Some writers count their objects short; the table grows as far as a 16-bit index reaches.
        slot = r.canvas.objectTableSize();
        if (slot >= 0xffff)
            return r.fail(QStringLiteral("metafile creates more objects than it can index"));
        r.canvas.setObjectTableSize(slot + 1);
    }
    r.canvas.setObject(slot, std::move(object));
    return true;
}

bool createPen(WmfPlayback& r)
{
    GdiPen pen;
    pen.style = r.p.u16();
    pen.width = std::abs(r.p.i16());
    r.p.i16();
    pen.colour = r.canvas.colour(r.p.u32());
    pen.cosmetic = pen.width == 0;
    return addObject(r, pen);
}

bool createBrush(WmfPlayback& r)
{
    GdiBrush brush;
    const quint16 style = r.p.u16();
    brush.colour = r.canvas.colour(r.p.u32());
    brush.hatch = r.p.u16();
    brush.kind = style == BS_NULL ? GdiBrush::Kind::Null
        : style == BS_HATCHED     ? GdiBrush::Kind::Hatched
                                  : GdiBrush::Kind::Solid;
    return addObject(r, brush);
}

bool createFont(WmfPlayback& r)
{
    ByteReader& p = r.p;
    GdiFont font;
    font.height = p.i16();
    font.width = p.i16();
    font.escapement = p.i16();
    p.i16();
    font.weight = p.i16();
    font.italic = p.u8();
    font.underline = p.u8();
    font.strikeOut = p.u8();
    font.charset = p.u8();
    p.skip(3);
    font.pitchAndFamily = p.u8();
    const qint64 n = std::min<qint64>(p.remaining(), 32);
    const char* face = p.at(p.pos(), n);
    qint64 length = 0;
    while (length < n && face[length])
        ++length;
    font.face = decodeCodePage(face, length, font.charset);
    return addObject(r, font);
}

bool createPalette(WmfPlayback& r)
{
    r.p.u16();
    const quint16 n = r.p.u16();
    if (!r.p.has(qint64(n) * 4))
        return r.fail(QStringLiteral("metafile object record is too short"));
    GdiPalette palette;
    for (int i = 0; i < n; ++i) {
        const quint8 red = r.p.u8();
        const quint8 green = r.p.u8();
        const quint8 blue = r.p.u8();
        r.p.u8();
        palette.colours.append(qRgb(red, green, blue));
    }
    return addObject(r, palette);
}

bool createRegion(WmfPlayback& r)
{
    std::optional<QList<QRect>> rects = readRegion(r.p);
    if (!rects)
        return r.tooShort();
    return addObject(r, GdiRegion {std::move(*rects)});
}

// The bitmap is a DIB whatever the style says; BS_PATTERN makes a one-bit one take the text
// and background colours, as a brush made from a monochrome bitmap does. A bitmap that cannot
// be read leaves a brush that paints nothing.
bool createDibPatternBrush(WmfPlayback& r)
{
    const quint16 style = r.p.u16();
    const quint16 usage = r.p.u16();
    GdiBrush brush;
    brush.kind = GdiBrush::Kind::Pattern;
    brush.colour = Qt::black;
    const DibReader::Result dib = decodePackedWithin(r.canvas.budget(), true, r.p.rest(), style != BS_PATTERN && usage == 1,
                                                     r.s.palette);
    brush.pattern = dib.image;
    brush.monochrome = style == BS_PATTERN && dib.monochrome;
    return addObject(r, brush);
}

bool createPatternBrush(WmfPlayback& r)
{
    GdiBrush brush;
    brush.kind = GdiBrush::Kind::Pattern;
    brush.colour = Qt::black;
    brush.monochrome = true;
    // A 14-byte bitmap header, 18 reserved bytes, then the bits.
    const ByteReader header = r.p.range(0, 10);
    const ByteReader bits = r.p.range(32, r.p.size() - 32);
    if (header.ok() && bits.ok()) {
        QByteArray joined(header.at(0, 10), 10);
        joined.append(bits.at(0, bits.size()), bits.size());
        brush.pattern = bitmap16(ByteReader(joined.constData(), joined.size()), r.canvas);
    }
    return addObject(r, brush);
}

bool selectObject(WmfPlayback& r)
{
    const quint16 index = r.p.u16();
    if (!r.checkedIndex(index))
        return false;
    r.canvas.selectObject(index);
    return true;
}

bool deleteObject(WmfPlayback& r)
{
    const quint16 index = r.p.u16();
    if (!r.checkedIndex(index))
        return false;
    r.canvas.deleteObject(index);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Regions

bool selectClipRegion(WmfPlayback& r)
{
    const quint16 index = r.p.u16();
    if (!r.checkedIndex(index))
        return false;
    if (const auto* region = std::get_if<GdiRegion>(&r.canvas.object(index)))
        r.canvas.selectClipLogicalRegion(region->rects, RGN_COPY);
    else
        r.canvas.resetClip();
    return true;
}

bool fillOrFrameRegion(WmfPlayback& r)
{
    const quint16 region = r.p.u16();
    const quint16 brush = r.p.u16();
    const double h = r.p.i16();
    const double w = r.p.i16();
    if (!r.checkedIndex(region) || !r.checkedIndex(brush))
        return false;
    const auto* rects = std::get_if<GdiRegion>(&r.canvas.object(region));
    const auto* b = std::get_if<GdiBrush>(&r.canvas.object(brush));
    if (rects && b) {
        if (r.record.function == META_FILLREGION)
            r.canvas.fillRegion(rects->rects, *b);
        else
            r.canvas.frameRegion(rects->rects, *b, QSizeF(w, h));
    }
    return true;
}

bool invertOrPaintRegion(WmfPlayback& r)
{
    const quint16 region = r.p.u16();
    if (!r.checkedIndex(region))
        return false;
    if (const auto* rects = std::get_if<GdiRegion>(&r.canvas.object(region))) {
        if (r.record.function == META_INVERTREGION)
            r.canvas.invertRegion(rects->rects);
        else
            r.canvas.fillRegion(rects->rects, r.s.brush);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Shapes and text

bool arc(WmfPlayback& r)
{
    const QPointF end = reversedPoint(r.p);
    const QPointF start = reversedPoint(r.p);
    const QRectF box = reversedRect(r.p);
    const auto kind = r.record.function == META_ARC ? GdiCanvas::ArcKind::Arc
        : r.record.function == META_PIE            ? GdiCanvas::ArcKind::Pie
                                                   : GdiCanvas::ArcKind::Chord;
    r.canvas.arc(box, start, end, kind);
    return true;
}

bool polygonOrPolyline(WmfPlayback& r)
{
    const qint16 n = r.p.i16();
    if (n < 0 || !r.p.has(qint64(n) * 4))
        return r.tooShort();
    const QPolygonF poly = points(r.p, n);
    if (r.record.function == META_POLYGON)
        r.canvas.polygon(poly);
    else
        r.canvas.polyline(poly);
    return true;
}

bool polyPolygon(WmfPlayback& r)
{
    ByteReader& p = r.p;
    const quint16 n = p.u16();
    if (!p.has(qint64(n) * 2))
        return r.tooShort();
    QList<qint64> counts;
    qint64 total = 0;
    for (int i = 0; i < n; ++i) {
        counts.append(p.u16());
        total += counts.last();
    }
    if (!p.has(total * 4))
        return r.tooShort();
    QList<QPolygonF> polygons;
    for (qint64 c : counts)
        polygons.append(points(p, c));
    r.canvas.polyPolygon(polygons);
    return true;
}

bool textOut(WmfPlayback& r)
{
    ByteReader& p = r.p;
    const qint16 n = p.i16();
    if (n < 0 || !p.has(qint64(n + (n & 1)) + 4))
        return r.tooShort();
    const char* text = p.at(p.pos(), n);
    p.skip(n + (n & 1));
    const QPointF pt = reversedPoint(p);
    r.canvas.textOut(pt, decodeCodePage(text, n, r.s.font.charset), {}, 0, std::nullopt);
    return true;
}

bool extTextOut(WmfPlayback& r)
{
    ByteReader& p = r.p;
    const QPointF pt = reversedPoint(p);
    const qint16 n = p.i16();
    const quint16 options = p.u16();
    std::optional<QRectF> box;
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        const double left = p.i16();
        const double top = p.i16();
        const double right = p.i16();
        const double bottom = p.i16();
        box = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    if (!p.ok() || n < 0 || !p.has(n))
        return r.tooShort();
    const char* text = p.at(p.pos(), n);
    p.skip(std::min<qint64>(n + (n & 1), p.remaining()));
    // One advance a character, or an x, y pair of them with ETO_PDY.
    QList<QPointF> advances;
    const bool pairs = options & ETO_PDY;
    if (n > 0 && p.has(qint64(n) * (pairs ? 4 : 2))) {
        for (int i = 0; i < n; ++i) {
            const double x = p.i16();
            const double y = pairs ? p.i16() : 0;
            advances.append(QPointF(x, y));
        }
    }
    r.canvas.textOut(pt, decodeCodePage(text, n, r.s.font.charset), advances, options, box);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

bool blit(WmfPlayback& r)
{
    ByteReader& p = r.p;
    const quint16 function = r.record.function;
    // The forms without a bitmap are exactly as long as the function's high byte says.
    const bool noBitmap = r.record.words == quint32(function >> 8) + 3;
    quint32 rop = SRCCOPY;
    quint16 usage = 0;
    double srcW = 0;
    double srcH = 0;
    double srcX = 0;
    double srcY = 0;
    double dstW = 0;
    double dstH = 0;
    bool bottomUpSource = false;
    quint16 scanCount = 0;   // SETDIBTODEV: the bits are a band of this many rows
    quint16 startScan = 0;
    switch (function) {
    case META_BITBLT:
    case META_DIBBITBLT:
        rop = p.u32();
        srcY = p.i16();
        srcX = p.i16();
        if (noBitmap)
            p.i16();
        dstH = srcH = p.i16();
        dstW = srcW = p.i16();
        break;
    case META_STRETCHBLT:
    case META_DIBSTRETCHBLT:
        rop = p.u32();
        srcH = p.i16();
        srcW = p.i16();
        srcY = p.i16();
        srcX = p.i16();
        if (noBitmap)
            p.i16();
        dstH = p.i16();
        dstW = p.i16();
        break;
    case META_STRETCHDIB:
        rop = p.u32();
        usage = p.u16();
        srcH = p.i16();
        srcW = p.i16();
        srcY = p.i16();
        srcX = p.i16();
        dstH = p.i16();
        dstW = p.i16();
        bottomUpSource = true;
        break;
    case META_SETDIBTODEV:
        usage = p.u16();
        scanCount = p.u16();
        startScan = p.u16();
        srcY = p.i16();
        srcX = p.i16();
        dstH = srcH = p.i16();
        dstW = srcW = p.i16();
        bottomUpSource = true;
        break;
    default:
        return true;
    }
    const QPointF dest = reversedPoint(p);
    const QRectF destRect(dest, QSizeF(dstW, dstH));
    if (noBitmap && function != META_STRETCHDIB && function != META_SETDIBTODEV) {
        r.canvas.patBlt(destRect, rop);
        return true;
    }
    QImage image;
    bool bottomUp = false;
    if (function == META_BITBLT || function == META_STRETCHBLT) {
        image = bitmap16(p.rest(), r.canvas);
    } else if (scanCount) {
        const ByteReader packed = p.rest();
        const qint64 infoSize = DibReader::infoSize(packed, usage == 1);
        if (infoSize >= 0) {
            const DibReader::Result dib = decodeWithin(r.canvas.budget(), r.canvas.reaches(destRect), packed.range(0, infoSize),
                                                       packed.range(infoSize, packed.size() - infoSize), usage == 1,
                                                       r.s.palette, false, startScan, scanCount);
            image = dib.image;
            bottomUp = dib.bottomUp;
            srcY -= startScan;
        }
    } else {
        const DibReader::Result dib = decodePackedWithin(r.canvas.budget(), r.canvas.reaches(destRect), p.rest(),
                                                         usage == 1, r.s.palette);
        image = dib.image;
        bottomUp = dib.bottomUp;
    }
    if (image.isNull()) {
        // An operation that needs no source still happens; an unreadable bitmap is left out.
        r.canvas.stretchBlt(destRect, QImage(), QRectF(), rop);
        return true;
    }
    if (bottomUpSource && bottomUp)
        srcY = image.height() - srcY - srcH;
    r.canvas.stretchBlt(destRect, image, QRectF(srcX, srcY, srcW, srcH), rop);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The records we play. Escapes, palette animation, flood fills and the like have nothing to
// show here and have no handler.

using Handler = RecordHandler<WmfPlayback>;

const auto& records()
{
    static const RecordTable table(std::to_array<Handler>({
        // State
        {META_SAVEDC, 0, [](WmfPlayback& r) { r.canvas.saveDC(); return true; }},
        {META_RESTOREDC, 2, [](WmfPlayback& r) { r.canvas.restoreDC(r.p.i16()); return true; }},
        {META_SETBKMODE, 2, [](WmfPlayback& r) {
             const quint16 mode = r.p.u16();
             if (mode == 1 || mode == 2)
                 r.s.opaqueBackground = mode == 2;
             return true;
         }},
        {META_SETROP2, 2, [](WmfPlayback& r) { r.s.rop2 = r.p.u16(); return true; }},
        {META_SETPOLYFILLMODE, 2, [](WmfPlayback& r) { r.s.windingFill = r.p.u16() == 2; return true; }},
        {META_SETSTRETCHBLTMODE, 2, [](WmfPlayback& r) { r.s.stretchMode = r.p.u16(); return true; }},
        {META_SETTEXTCHAREXTRA, 2, [](WmfPlayback& r) { r.s.textCharExtra = r.p.i16(); return true; }},
        {META_SETTEXTALIGN, 2, [](WmfPlayback& r) { r.s.textAlign = r.p.u16(); return true; }},
        {META_SETBKCOLOR, 4, [](WmfPlayback& r) { r.s.bkColour = r.canvas.colour(r.p.u32()); return true; }},
        {META_SETTEXTCOLOR, 4, [](WmfPlayback& r) { r.s.textColour = r.canvas.colour(r.p.u32()); return true; }},

        // Mapping
        {META_SETMAPMODE, 2, [](WmfPlayback& r) { r.canvas.setMapMode(r.p.u16()); return true; }},
        {META_SETWINDOWORG, 4, [](WmfPlayback& r) { r.canvas.setWindowOrg(reversedPoint(r.p)); return true; }},
        {META_SETWINDOWEXT, 4, [](WmfPlayback& r) { r.canvas.setWindowExt(reversedSize(r.p)); return true; }},
        {META_SETVIEWPORTORG, 4, [](WmfPlayback& r) { r.canvas.setViewportOrg(reversedPoint(r.p)); return true; }},
        {META_SETVIEWPORTEXT, 4, [](WmfPlayback& r) { r.canvas.setViewportExt(reversedSize(r.p)); return true; }},
        {META_OFFSETWINDOWORG, 4, [](WmfPlayback& r) { r.canvas.offsetWindowOrg(reversedPoint(r.p)); return true; }},
        {META_OFFSETVIEWPORTORG, 4, [](WmfPlayback& r) { r.canvas.offsetViewportOrg(reversedPoint(r.p)); return true; }},
        {META_SCALEWINDOWEXT, 8, [](WmfPlayback& r) {
             const double yDenom = r.p.i16();
             const double yNum = r.p.i16();
             const double xDenom = r.p.i16();
             const double xNum = r.p.i16();
             r.canvas.scaleWindowExt(xNum, xDenom, yNum, yDenom);
             return true;
         }},
        {META_SCALEVIEWPORTEXT, 8, [](WmfPlayback& r) {
             const double yDenom = r.p.i16();
             const double yNum = r.p.i16();
             const double xDenom = r.p.i16();
             const double xNum = r.p.i16();
             r.canvas.scaleViewportExt(xNum, xDenom, yNum, yDenom);
             return true;
         }},

        // Clipping
        {META_OFFSETCLIPRGN, 4, [](WmfPlayback& r) { r.canvas.offsetClip(reversedPoint(r.p)); return true; }},
        {META_EXCLUDECLIPRECT, 8, [](WmfPlayback& r) { r.canvas.excludeClipRect(reversedRect(r.p)); return true; }},
        {META_INTERSECTCLIPRECT, 8, [](WmfPlayback& r) { r.canvas.intersectClipRect(reversedRect(r.p)); return true; }},
        {META_SELECTCLIPREGION, 2, selectClipRegion},

        // Objects
        {META_CREATEPENINDIRECT, 10, createPen},
        {META_CREATEBRUSHINDIRECT, 8, createBrush},
        {META_CREATEFONTINDIRECT, 18, createFont},
        {META_CREATEPALETTE, 4, createPalette},
        {META_CREATEREGION, 0, createRegion},
        {META_DIBCREATEPATTERNBRUSH, 4, createDibPatternBrush},
        {META_CREATEPATTERNBRUSH, 32, createPatternBrush},
        {META_SELECTOBJECT, 2, selectObject},
        {META_SELECTPALETTE, 2, selectObject},
        {META_DELETEOBJECT, 2, deleteObject},

        // Lines and shapes
        {META_MOVETO, 4, [](WmfPlayback& r) { r.canvas.moveTo(reversedPoint(r.p)); return true; }},
        {META_LINETO, 4, [](WmfPlayback& r) { r.canvas.lineTo(reversedPoint(r.p)); return true; }},
        {META_RECTANGLE, 8, [](WmfPlayback& r) { r.canvas.rectangle(reversedRect(r.p)); return true; }},
        {META_ELLIPSE, 8, [](WmfPlayback& r) { r.canvas.ellipse(reversedRect(r.p)); return true; }},
        {META_ROUNDRECT, 12, [](WmfPlayback& r) {
             const double h = r.p.i16();
             const double w = r.p.i16();
             r.canvas.roundRect(reversedRect(r.p), QSizeF(w, h));
             return true;
         }},
        {META_ARC, 16, arc},
        {META_PIE, 16, arc},
        {META_CHORD, 16, arc},
        {META_SETPIXEL, 8, [](WmfPlayback& r) {
             const quint32 c = r.p.u32();
             r.canvas.setPixel(reversedPoint(r.p), r.canvas.colour(c));
             return true;
         }},
        {META_POLYGON, 2, polygonOrPolyline},
        {META_POLYLINE, 2, polygonOrPolyline},
        {META_POLYPOLYGON, 2, polyPolygon},

        // Regions
        {META_FILLREGION, 4, fillOrFrameRegion},
        {META_FRAMEREGION, 8, fillOrFrameRegion},
        {META_INVERTREGION, 2, invertOrPaintRegion},
        {META_PAINTREGION, 2, invertOrPaintRegion},

        // Text
        {META_TEXTOUT, 2, textOut},
        {META_EXTTEXTOUT, 8, extTextOut},

        // Bitmaps
        {META_PATBLT, 12, [](WmfPlayback& r) {
             const quint32 rop = r.p.u32();
             const double h = r.p.i16();
             const double w = r.p.i16();
             const QPointF pt = reversedPoint(r.p);
             r.canvas.patBlt(QRectF(pt, QSizeF(w, h)), rop);
             return true;
         }},
        {META_BITBLT, 16, blit},
        {META_DIBBITBLT, 16, blit},
        {META_STRETCHBLT, 20, blit},
        {META_DIBSTRETCHBLT, 20, blit},
        {META_STRETCHDIB, 22, blit},
        {META_SETDIBTODEV, 18, blit},
    }));
    return table;
}

} // namespace

WmfPlayer::WmfPlayer(const QByteArray& data, std::optional<WmfFile::Framing> known)
    : m_file(data)
    , m_known(std::move(known))
{
}

bool WmfPlayer::open(std::stop_token stop)
{
    return (m_known ? m_file.open(*m_known) : m_file.open(stop)) || fail(m_file.error());
}

bool WmfPlayer::play(GdiCanvas& canvas)
{
    const QRectF frame = m_file.frame();
    canvas.setObjectTableSize(m_file.objectCount());
    if (m_file.placeable() || m_file.framedByWindow()) {
        canvas.setMapMode(MM_ANISOTROPIC);
        canvas.setViewportOrg(frame.topLeft());
        canvas.setViewportExt(frame.size());
        canvas.setWindowOrg(m_file.placeable() ? frame.topLeft() : m_file.windowOrg());
        canvas.setWindowExt(m_file.placeable() ? frame.size() : m_file.windowExt());
    }
    qint64 pos = m_file.recordsStart();
    WmfRecord record;
    while (pos < m_file.size()) {
        // Past its budget a render keeps what it drew.
        if (!canvas.budget().nextRecord())
            return true;
        QString why;
        if (!m_file.nextRecord(pos, record, &why))
            return fail(why);
        if (record.function == META_EOF)
            return true;
        WmfPlayback playback {canvas, canvas.state(), record, record.params, m_file.objectCount(), {}};
        if (!records().play(record.function, record.params.size(), playback))
            return fail(playback.error);
    }
    return fail(QStringLiteral("metafile is truncated: it has no end record"));
}

} // namespace orv
