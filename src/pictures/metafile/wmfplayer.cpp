#include "wmfplayer.h"

#include "dibreader.h"
#include "gdicanvas.h"
#include "pictures/core/codepages.h"

#include <cmath>
#include <optional>

namespace orv {

using namespace gdi;
using namespace wmf;

namespace {

QPolygonF points(ByteReader& p, qint64 count)
{
    return QPolygonF(readPoints(p, count));
}

} // namespace

WmfPlayer::WmfPlayer(const QByteArray& data)
    : m_file(data)
{
}

bool WmfPlayer::open()
{
    return m_file.open() || fail(m_file.error());
}

bool WmfPlayer::play(GdiCanvas& canvas)
{
    const QRectF frame = m_file.frame();
    canvas.setObjectTableSize(m_file.objectCount());
    canvas.setMapMode(MM_ANISOTROPIC);
    canvas.setViewportOrg(frame.topLeft());
    canvas.setViewportExt(frame.size());
    if (m_file.placeable()) {
        canvas.setWindowOrg(frame.topLeft());
        canvas.setWindowExt(frame.size());
    } else {
        canvas.setWindowOrg(m_file.windowOrg());
        canvas.setWindowExt(m_file.windowExt());
    }
    qint64 pos = m_file.recordsStart();
    Record rec;
    while (pos < m_file.size()) {
        QString why;
        if (!m_file.nextRecord(pos, rec, &why))
            return fail(why);
        if (rec.function == META_EOF)
            return true;
        if (!playRecord(canvas, rec))
            return false;
    }
    return fail(QStringLiteral("metafile is truncated: it has no end record"));
}

bool WmfPlayer::checkedIndex(GdiCanvas& canvas, quint16 index, const Record& rec)
{
    if (canvas.validIndex(index))
        return true;
    return fail(QStringLiteral("metafile record at byte %1 names object %2 of %3").arg(rec.offset).arg(index).arg(m_file.objectCount()));
}

bool WmfPlayer::playRecord(GdiCanvas& canvas, const Record& rec)
{
    ByteReader p = rec.params;
    GdiState& s = canvas.state();
    auto tooShort = [&] { return fail(QStringLiteral("metafile record at byte %1 is too short").arg(rec.offset)); };

    switch (rec.function) {
    case META_SAVEDC: canvas.saveDC(); return true;
    case META_RESTOREDC: canvas.restoreDC(p.i16()); break;
    case META_SETBKMODE: {
        const quint16 mode = p.u16();
        if (mode == 1 || mode == 2)
            s.opaqueBackground = mode == 2;
        break;
    }
    case META_SETMAPMODE: canvas.setMapMode(p.u16()); break;
    case META_SETROP2: s.rop2 = p.u16(); break;
    case META_SETPOLYFILLMODE: s.windingFill = p.u16() == 2; break;
    case META_SETSTRETCHBLTMODE: s.stretchMode = p.u16(); break;
    case META_SETTEXTCHAREXTRA: s.textCharExtra = p.i16(); break;
    case META_SETTEXTALIGN: s.textAlign = p.u16(); break;
    case META_SETBKCOLOR: s.bkColour = canvas.colour(p.u32()); break;
    case META_SETTEXTCOLOR: s.textColour = canvas.colour(p.u32()); break;
    case META_SETWINDOWORG: canvas.setWindowOrg(reversedPoint(p)); break;
    case META_SETWINDOWEXT: {
        const QPointF e = reversedPoint(p);
        canvas.setWindowExt(QSizeF(e.x(), e.y()));
        break;
    }
    case META_SETVIEWPORTORG: canvas.setViewportOrg(reversedPoint(p)); break;
    case META_SETVIEWPORTEXT: {
        const QPointF e = reversedPoint(p);
        canvas.setViewportExt(QSizeF(e.x(), e.y()));
        break;
    }
    case META_OFFSETWINDOWORG: canvas.offsetWindowOrg(reversedPoint(p)); break;
    case META_OFFSETVIEWPORTORG: canvas.offsetViewportOrg(reversedPoint(p)); break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        const double yDenom = p.i16();
        const double yNum = p.i16();
        const double xDenom = p.i16();
        const double xNum = p.i16();
        if (!p.ok())
            return tooShort();
        if (rec.function == META_SCALEWINDOWEXT)
            canvas.scaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas.scaleViewportExt(xNum, xDenom, yNum, yDenom);
        return true;
    }
    case META_MOVETO: {
        const QPointF pt = reversedPoint(p);
        if (p.ok())
            canvas.moveTo(pt);
        break;
    }
    case META_LINETO: {
        const QPointF pt = reversedPoint(p);
        if (p.ok())
            canvas.lineTo(pt);
        break;
    }
    case META_OFFSETCLIPRGN: canvas.offsetClip(reversedPoint(p)); break;
    case META_EXCLUDECLIPRECT:
    case META_INTERSECTCLIPRECT: {
        const QRectF box = reversedRect(p);
        if (!p.ok())
            return tooShort();
        if (rec.function == META_EXCLUDECLIPRECT)
            canvas.excludeClipRect(box);
        else
            canvas.intersectClipRect(box);
        return true;
    }
    case META_RECTANGLE:
    case META_ELLIPSE: {
        const QRectF box = reversedRect(p);
        if (!p.ok())
            return tooShort();
        if (rec.function == META_RECTANGLE)
            canvas.rectangle(box);
        else
            canvas.ellipse(box);
        return true;
    }
    case META_ROUNDRECT: {
        const double h = p.i16();
        const double w = p.i16();
        const QRectF box = reversedRect(p);
        if (!p.ok())
            return tooShort();
        canvas.roundRect(box, QSizeF(w, h));
        return true;
    }
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
        const QPointF end = reversedPoint(p);
        const QPointF start = reversedPoint(p);
        const QRectF box = reversedRect(p);
        if (!p.ok())
            return tooShort();
        const auto kind = rec.function == META_ARC ? GdiCanvas::ArcKind::Arc
            : rec.function == META_PIE            ? GdiCanvas::ArcKind::Pie
                                                  : GdiCanvas::ArcKind::Chord;
        canvas.arc(box, start, end, kind);
        return true;
    }
    case META_SETPIXEL: {
        const quint32 c = p.u32();
        const QPointF pt = reversedPoint(p);
        if (!p.ok())
            return tooShort();
        canvas.setPixel(pt, canvas.colour(c));
        return true;
    }
    case META_POLYGON:
    case META_POLYLINE: {
        const qint16 n = p.i16();
        if (n < 0 || !p.has(qint64(n) * 4))
            return tooShort();
        const QPolygonF poly = points(p, n);
        if (rec.function == META_POLYGON)
            canvas.polygon(poly);
        else
            canvas.polyline(poly);
        return true;
    }
    case META_POLYPOLYGON: {
        const quint16 n = p.u16();
        if (!p.has(qint64(n) * 2))
            return tooShort();
        QList<qint64> counts;
        qint64 total = 0;
        for (int i = 0; i < n; ++i) {
            counts.append(p.u16());
            total += counts.last();
        }
        if (!p.has(total * 4))
            return tooShort();
        QList<QPolygonF> polygons;
        for (qint64 c : counts)
            polygons.append(points(p, c));
        canvas.polyPolygon(polygons);
        return true;
    }
    case META_TEXTOUT: {
        const qint16 n = p.i16();
        if (n < 0 || !p.has(qint64(n + (n & 1)) + 4))
            return tooShort();
        const char* text = p.at(p.pos(), n);
        p.skip(n + (n & 1));
        const QPointF pt = reversedPoint(p);
        canvas.textOut(pt, decodeCodePage(text, n, s.font.charset), {}, 0, std::nullopt);
        return true;
    }
    case META_EXTTEXTOUT: {
        const QPointF pt = reversedPoint(p);
        const qint16 n = p.i16();
        const quint16 options = p.u16();
        std::optional<QRectF> box;
        if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
            const double l = p.i16();
            const double t = p.i16();
            const double r = p.i16();
            const double b = p.i16();
            box = QRectF(QPointF(l, t), QPointF(r, b));
        }
        if (!p.ok() || n < 0 || !p.has(n))
            return tooShort();
        const char* text = p.at(p.pos(), n);
        p.skip(std::min<qint64>(n + (n & 1), p.remaining()));
        QList<QPointF> advances;
        if (n > 0 && p.has(qint64(n) * 2)) {
            for (int i = 0; i < n; ++i)
                advances.append(QPointF(p.i16(), 0));
        }
        canvas.textOut(pt, decodeCodePage(text, n, s.font.charset), advances, options, box);
        return true;
    }
    case META_CREATEPENINDIRECT:
    case META_CREATEFONTINDIRECT:
    case META_CREATEBRUSHINDIRECT:
    case META_CREATEPALETTE:
    case META_CREATEREGION:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEPATTERNBRUSH:
        return createObject(canvas, rec.function, p);
    case META_SELECTOBJECT:
    case META_SELECTPALETTE: {
        const quint16 index = p.u16();
        if (!p.ok())
            return tooShort();
        if (!checkedIndex(canvas, index, rec))
            return false;
        canvas.selectObject(index);
        return true;
    }
    case META_DELETEOBJECT: {
        const quint16 index = p.u16();
        if (!p.ok())
            return tooShort();
        if (!checkedIndex(canvas, index, rec))
            return false;
        canvas.deleteObject(index);
        return true;
    }
    case META_SELECTCLIPREGION: {
        const quint16 index = p.u16();
        if (!p.ok())
            return tooShort();
        if (!checkedIndex(canvas, index, rec))
            return false;
        if (const auto* region = std::get_if<GdiRegion>(&canvas.object(index)))
            canvas.selectClipLogicalRegion(region->rects, RGN_COPY);
        else
            canvas.resetClip();
        return true;
    }
    case META_FILLREGION:
    case META_FRAMEREGION: {
        const quint16 region = p.u16();
        const quint16 brush = p.u16();
        const double h = p.i16();
        const double w = p.i16();
        if (!p.ok() && rec.function == META_FRAMEREGION)
            return tooShort();
        if (!checkedIndex(canvas, region, rec) || !checkedIndex(canvas, brush, rec))
            return false;
        const auto* r = std::get_if<GdiRegion>(&canvas.object(region));
        const auto* b = std::get_if<GdiBrush>(&canvas.object(brush));
        if (r && b) {
            if (rec.function == META_FILLREGION)
                canvas.fillRegion(r->rects, *b);
            else
                canvas.frameRegion(r->rects, *b, QSizeF(w, h));
        }
        return true;
    }
    case META_INVERTREGION:
    case META_PAINTREGION: {
        const quint16 region = p.u16();
        if (!p.ok())
            return tooShort();
        if (!checkedIndex(canvas, region, rec))
            return false;
        if (const auto* r = std::get_if<GdiRegion>(&canvas.object(region))) {
            if (rec.function == META_INVERTREGION)
                canvas.invertRegion(r->rects);
            else
                canvas.fillRegion(r->rects, s.brush);
        }
        return true;
    }
    case META_PATBLT: {
        const quint32 rop = p.u32();
        const double h = p.i16();
        const double w = p.i16();
        const QPointF pt = reversedPoint(p);
        if (!p.ok())
            return tooShort();
        canvas.patBlt(QRectF(pt, QSizeF(w, h)), rop);
        return true;
    }
    case META_BITBLT:
    case META_DIBBITBLT:
    case META_STRETCHBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB:
    case META_SETDIBTODEV:
        return blit(canvas, rec);
    default:
        // Escapes, palette animation, flood fills and the like have nothing to show here.
        return true;
    }
    return p.ok() ? true : tooShort();
}

bool WmfPlayer::createObject(GdiCanvas& canvas, quint16 function, ByteReader p)
{
    GdiObject object;
    switch (function) {
    case META_CREATEPENINDIRECT: {
        GdiPen pen;
        pen.style = p.u16();
        pen.width = std::abs(p.i16());
        p.i16();
        pen.colour = canvas.colour(p.u32());
        pen.cosmetic = pen.width == 0;
        object = pen;
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        GdiBrush brush;
        const quint16 style = p.u16();
        brush.colour = canvas.colour(p.u32());
        brush.hatch = p.u16();
        brush.kind = style == BS_NULL ? GdiBrush::Kind::Null
            : style == BS_HATCHED     ? GdiBrush::Kind::Hatched
                                      : GdiBrush::Kind::Solid;
        object = brush;
        break;
    }
    case META_CREATEFONTINDIRECT: {
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
        if (!p.ok())
            break;
        const qint64 n = std::min<qint64>(p.remaining(), 32);
        const char* face = p.at(p.pos(), n);
        qint64 length = 0;
        while (length < n && face[length])
            ++length;
        font.face = decodeCodePage(face, length, font.charset);
        object = font;
        break;
    }
    case META_CREATEPALETTE: {
        p.u16();
        const quint16 n = p.u16();
        if (!p.has(qint64(n) * 4)) {
            p.skip(p.remaining() + 1);
            break;
        }
        GdiPalette palette;
        for (int i = 0; i < n; ++i) {
            const quint8 r = p.u8();
            const quint8 g = p.u8();
            const quint8 b = p.u8();
            p.u8();
            palette.colours.append(qRgb(r, g, b));
        }
        object = palette;
        break;
    }
    case META_CREATEREGION:
        object = GdiRegion {readRegion(p)};
        break;
    case META_DIBCREATEPATTERNBRUSH: {
        const quint16 style = p.u16();
        const quint16 usage = p.u16();
        GdiBrush brush;
        brush.kind = GdiBrush::Kind::Pattern;
        brush.colour = Qt::black;
        if (style == BS_PATTERN) {
            brush.pattern = bitmap16(p.rest(), canvas);
            brush.monochrome = true;
        } else {
            const DibReader::Result dib = DibReader::decodePacked(p.rest(), usage == 1, canvas.state().palette);
            brush.pattern = dib.image;
        }
        object = brush;
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        GdiBrush brush;
        brush.kind = GdiBrush::Kind::Pattern;
        brush.colour = Qt::black;
        brush.monochrome = true;
        // A 14-byte bitmap header, 18 reserved bytes, then the bits.
        ByteReader header = p.range(0, 10);
        ByteReader bits = p.range(32, p.size() - 32);
        if (header.ok() && bits.ok()) {
            QByteArray joined(header.at(0, 10), 10);
            joined.append(bits.at(0, bits.size()), bits.size());
            brush.pattern = bitmap16(ByteReader(joined.constData(), joined.size()), canvas);
        }
        object = brush;
        break;
    }
    default:
        break;
    }
    if (!p.ok())
        return fail(QStringLiteral("metafile object record is too short"));
    int slot = canvas.freeSlot();
    if (slot < 0) {
        // Some writers count their objects short; the table grows as far as a 16-bit index reaches.
        slot = canvas.objectTableSize();
        if (slot >= 0xffff)
            return fail(QStringLiteral("metafile creates more objects than it can index"));
        canvas.setObjectTableSize(slot + 1);
    }
    canvas.setObject(slot, std::move(object));
    return true;
}

QImage WmfPlayer::bitmap16(ByteReader r, const GdiCanvas& canvas) const
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

bool WmfPlayer::blit(GdiCanvas& canvas, const Record& rec)
{
    ByteReader p = rec.params;
    // The forms without a bitmap are exactly as long as the function's high byte says.
    const bool noBitmap = rec.words == quint32(rec.function >> 8) + 3;
    quint32 rop = SRCCOPY;
    quint16 usage = 0;
    double srcW = 0;
    double srcH = 0;
    double srcX = 0;
    double srcY = 0;
    double dstW = 0;
    double dstH = 0;
    bool bottomUpSource = false;
    switch (rec.function) {
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
        p.skip(4);   // scan count, start scan
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
    if (!p.ok())
        return fail(QStringLiteral("metafile record at byte %1 is too short").arg(rec.offset));
    const QRectF destRect(dest, QSizeF(dstW, dstH));
    if (noBitmap && rec.function != META_STRETCHDIB && rec.function != META_SETDIBTODEV) {
        canvas.patBlt(destRect, rop);
        return true;
    }
    QImage image;
    bool bottomUp = false;
    if (rec.function == META_BITBLT || rec.function == META_STRETCHBLT) {
        image = bitmap16(p.rest(), canvas);
    } else {
        const DibReader::Result dib = DibReader::decodePacked(p.rest(), usage == 1, canvas.state().palette);
        image = dib.image;
        bottomUp = dib.bottomUp;
    }
    if (image.isNull()) {
        // An operation that needs no source still happens; an unreadable bitmap is left out.
        canvas.stretchBlt(destRect, QImage(), QRectF(), rop);
        return true;
    }
    if (bottomUpSource && bottomUp)
        srcY = image.height() - srcY - srcH;
    canvas.stretchBlt(destRect, image, QRectF(srcX, srcY, srcW, srcH), rop);
    return true;
}

} // namespace orv
