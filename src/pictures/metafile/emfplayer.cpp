#include "emfplayer.h"

#include "dibreader.h"
#include "gdicanvas.h"
#include "pictures/core/codepages.h"

#include <cmath>

namespace orv {

using namespace gdi;
using namespace emf;

namespace {

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

} // namespace

EmfPlayer::EmfPlayer(const QByteArray& data)
    : m_file(data)
{
}

bool EmfPlayer::open()
{
    return m_file.open() || fail(m_file.error());
}

bool EmfPlayer::corrupt(const Record& rec)
{
    return fail(QStringLiteral("enhanced metafile record %1 at byte %2 is corrupt").arg(rec.type).arg(rec.offset));
}

bool EmfPlayer::play(GdiCanvas& canvas)
{
    canvas.setObjectTableSize(int(m_file.handles()));
    qint64 pos = 0;
    Record rec;
    while (pos < m_file.size()) {
        QString why;
        if (!m_file.nextRecord(pos, rec, &why))
            return fail(why);
        if (rec.type == EMR_EOF)
            return true;
        rec.data.seek(8);
        if (!playRecord(canvas, rec))
            return false;
    }
    return fail(QStringLiteral("enhanced metafile is truncated: it has no end record"));
}

bool EmfPlayer::objectIndex(GdiCanvas& canvas, quint32 index, const Record& rec, bool allowStock)
{
    if (allowStock && (index & STOCK_FLAG))
        return true;
    if (index != 0 && canvas.validIndex(index))
        return true;
    return fail(QStringLiteral("enhanced metafile record at byte %1 names object %2 of %3").arg(rec.offset).arg(index).arg(m_file.handles()));
}

bool EmfPlayer::playRecord(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    GdiState& s = canvas.state();
    switch (rec.type) {
    case EMR_HEADER:
    case EMR_GDICOMMENT:
        return true;
    case EMR_SETWINDOWEXTEX: canvas.setWindowExt(sizel(r)); break;
    case EMR_SETWINDOWORGEX: canvas.setWindowOrg(pointl(r)); break;
    case EMR_SETVIEWPORTEXTEX: canvas.setViewportExt(sizel(r)); break;
    case EMR_SETVIEWPORTORGEX: canvas.setViewportOrg(pointl(r)); break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const double xNum = r.i32();
        const double xDenom = r.i32();
        const double yNum = r.i32();
        const double yDenom = r.i32();
        if (!r.ok())
            return corrupt(rec);
        if (rec.type == EMR_SCALEWINDOWEXTEX)
            canvas.scaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas.scaleViewportExt(xNum, xDenom, yNum, yDenom);
        return true;
    }
    case EMR_SETMAPMODE: canvas.setMapMode(int(r.u32())); break;
    case EMR_SETBKMODE: {
        const quint32 mode = r.u32();
        if (mode == 1 || mode == 2)
            s.opaqueBackground = mode == 2;
        break;
    }
    case EMR_SETPOLYFILLMODE: s.windingFill = r.u32() == 2; break;
    case EMR_SETROP2: s.rop2 = int(r.u32() & 0xff); break;
    case EMR_SETSTRETCHBLTMODE: s.stretchMode = int(r.u32() & 0xff); break;
    case EMR_SETTEXTALIGN: s.textAlign = r.u32(); break;
    case EMR_SETTEXTCOLOR: s.textColour = canvas.colour(r.u32()); break;
    case EMR_SETBKCOLOR: s.bkColour = canvas.colour(r.u32()); break;
    case EMR_SETARCDIRECTION: s.clockwiseArcs = r.u32() == AD_CLOCKWISE; break;
    case EMR_SETMITERLIMIT: {
        const quint32 limit = r.u32();
        if (limit >= 1 && limit <= 1000)
            s.miterLimit = limit;
        break;
    }
    case EMR_SAVEDC: canvas.saveDC(); return true;
    case EMR_RESTOREDC: canvas.restoreDC(r.i32()); break;
    case EMR_SETWORLDTRANSFORM: {
        const QTransform t = xform(r);
        if (!r.ok())
            return corrupt(rec);
        canvas.modifyWorldTransform(t, 4);
        return true;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform t = xform(r);
        const quint32 mode = r.u32();
        if (!r.ok())
            return corrupt(rec);
        canvas.modifyWorldTransform(t, int(mode));
        return true;
    }
    case EMR_SELECTOBJECT: {
        const quint32 index = r.u32();
        if (!r.ok())
            return corrupt(rec);
        if (!objectIndex(canvas, index, rec, true))
            return false;
        if (index & STOCK_FLAG)
            canvas.selectStockObject(index);
        else
            canvas.selectObject(int(index));
        return true;
    }
    case EMR_SELECTPALETTE: {
        const quint32 index = r.u32();
        if (!r.ok())
            return corrupt(rec);
        if (!objectIndex(canvas, index, rec, true))
            return false;
        if (index & STOCK_FLAG)
            canvas.selectStockObject(DEFAULT_PALETTE);
        else if (std::holds_alternative<GdiPalette>(canvas.object(int(index))))
            canvas.selectObject(int(index));
        return true;
    }
    case EMR_DELETEOBJECT: {
        const quint32 index = r.u32();
        if (!r.ok())
            return corrupt(rec);
        if (!objectIndex(canvas, index, rec, true))
            return false;
        if (!(index & STOCK_FLAG))
            canvas.deleteObject(int(index));
        return true;
    }
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH:
    case EMR_EXTCREATEFONTINDIRECTW:
    case EMR_CREATEPALETTE:
    case EMR_SETPALETTEENTRIES:
        return createObject(canvas, rec);
    case EMR_MOVETOEX: {
        const QPointF p = pointl(r);
        if (!r.ok())
            return corrupt(rec);
        canvas.moveTo(p);
        return true;
    }
    case EMR_LINETO: {
        const QPointF p = pointl(r);
        if (!r.ok())
            return corrupt(rec);
        canvas.lineTo(p);
        return true;
    }
    case EMR_SETPIXELV: {
        const QPointF p = pointl(r);
        const quint32 c = r.u32();
        if (!r.ok())
            return corrupt(rec);
        canvas.setPixel(p, canvas.colour(c));
        return true;
    }
    case EMR_RECTANGLE:
    case EMR_ELLIPSE: {
        const QRectF box = rectl(r);
        if (!r.ok())
            return corrupt(rec);
        if (rec.type == EMR_RECTANGLE)
            canvas.rectangle(box);
        else
            canvas.ellipse(box);
        return true;
    }
    case EMR_ROUNDRECT: {
        const QRectF box = rectl(r);
        const QSizeF corner = sizel(r);
        if (!r.ok())
            return corrupt(rec);
        canvas.roundRect(box, corner);
        return true;
    }
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
        const QRectF box = rectl(r);
        const QPointF start = pointl(r);
        const QPointF end = pointl(r);
        if (!r.ok())
            return corrupt(rec);
        const auto kind = rec.type == EMR_ARC ? GdiCanvas::ArcKind::Arc
            : rec.type == EMR_ARCTO          ? GdiCanvas::ArcKind::ArcTo
            : rec.type == EMR_CHORD          ? GdiCanvas::ArcKind::Chord
                                             : GdiCanvas::ArcKind::Pie;
        canvas.arc(box, start, end, kind);
        return true;
    }
    case EMR_ANGLEARC: {
        const QPointF centre = pointl(r);
        const double radius = r.u32();
        const double start = r.f32();
        const double sweep = r.f32();
        if (!r.ok())
            return corrupt(rec);
        canvas.angleArc(centre, radius, start, sweep);
        return true;
    }
    case EMR_POLYBEZIER: case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIERTO: case EMR_POLYLINETO:
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYBEZIER16: case EMR_POLYGON16: case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16: case EMR_POLYLINETO16: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16:
    case EMR_POLYDRAW: case EMR_POLYDRAW16:
        return polyRecord(canvas, rec);
    case EMR_BEGINPATH: canvas.beginPath(); return true;
    case EMR_ENDPATH: canvas.endPath(); return true;
    case EMR_ABORTPATH: canvas.abortPath(); return true;
    case EMR_CLOSEFIGURE: canvas.closeFigure(); return true;
    case EMR_FILLPATH: canvas.fillPath(); return true;
    case EMR_STROKEPATH: canvas.strokePath(); return true;
    case EMR_STROKEANDFILLPATH: canvas.strokeAndFillPath(); return true;
    case EMR_FLATTENPATH: canvas.flattenPath(); return true;
    case EMR_WIDENPATH: canvas.widenPath(); return true;
    case EMR_SELECTCLIPPATH: {
        const quint32 mode = r.u32();
        if (!r.ok())
            return corrupt(rec);
        canvas.selectClipPath(int(mode));
        return true;
    }
    case EMR_INTERSECTCLIPRECT:
    case EMR_EXCLUDECLIPRECT: {
        const QRectF box = rectl(r);
        if (!r.ok())
            return corrupt(rec);
        if (rec.type == EMR_INTERSECTCLIPRECT)
            canvas.intersectClipRect(box);
        else
            canvas.excludeClipRect(box);
        return true;
    }
    case EMR_OFFSETCLIPRGN: {
        const QPointF d = pointl(r);
        if (!r.ok())
            return corrupt(rec);
        canvas.offsetClip(d);
        return true;
    }
    case EMR_EXTSELECTCLIPRGN:
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
        return region(canvas, rec);
    case EMR_EXTTEXTOUTW:
    case EMR_EXTTEXTOUTA:
    case EMR_SMALLTEXTOUT:
        return text(canvas, rec);
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
        return blit(canvas, rec);
    case EMR_GRADIENTFILL: {
        r.skip(16);
        const quint32 vertices = r.u32();
        const quint32 shapes = r.u32();
        const quint32 mode = r.u32();
        const qint64 shapeSize = mode == 2 ? 12 : 8;
        if (!r.ok() || !r.has(qint64(vertices) * 16 + qint64(shapes) * shapeSize))
            return corrupt(rec);
        QList<QPointF> pts;
        QList<QColor> colours;
        for (quint32 i = 0; i < vertices; ++i) {
            pts.append(pointl(r));
            const int red = r.u16() >> 8;
            const int green = r.u16() >> 8;
            const int blue = r.u16() >> 8;
            r.u16();
            colours.append(QColor(red, green, blue));
        }
        for (quint32 i = 0; i < shapes; ++i) {
            const quint32 a = r.u32();
            const quint32 b = r.u32();
            const quint32 c = mode == 2 ? r.u32() : 0;
            if (a >= vertices || b >= vertices || c >= std::max(vertices, 1u))
                continue;
            if (mode == 2) {
                const QColor avg((colours[a].red() + colours[b].red() + colours[c].red()) / 3,
                                 (colours[a].green() + colours[b].green() + colours[c].green()) / 3,
                                 (colours[a].blue() + colours[b].blue() + colours[c].blue()) / 3);
                canvas.gradientTriangle(QPolygonF({pts[a], pts[b], pts[c]}), avg);
            } else {
                canvas.gradientRect(QRectF(pts[a], pts[b]), colours[a], colours[b], mode == 1);
            }
        }
        return true;
    }
    default:
        // Colour management, layout, EMF+ comments and the like change nothing we draw.
        return true;
    }
    return r.ok() ? true : corrupt(rec);
}

bool EmfPlayer::polyRecord(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    r.skip(16);   // bounds
    const bool small = rec.type >= EMR_POLYBEZIER16;
    const qint64 pointSize = small ? 4 : 8;
    switch (rec.type) {
    case EMR_POLYPOLYLINE: case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE16: case EMR_POLYPOLYGON16: {
        const quint32 polys = r.u32();
        const quint32 total = r.u32();
        if (!r.ok() || !r.has(qint64(polys) * 4 + qint64(total) * pointSize))
            return corrupt(rec);
        QList<quint32> counts;
        qint64 sum = 0;
        for (quint32 i = 0; i < polys; ++i) {
            counts.append(r.u32());
            sum += counts.last();
        }
        if (sum > total)
            return corrupt(rec);
        QList<QPolygonF> shapes;
        for (quint32 c : counts)
            shapes.append(points(r, c, small));
        if (rec.type == EMR_POLYPOLYGON || rec.type == EMR_POLYPOLYGON16)
            canvas.polyPolygon(shapes);
        else
            canvas.polyPolyline(shapes);
        return true;
    }
    case EMR_POLYDRAW: case EMR_POLYDRAW16: {
        const quint32 count = r.u32();
        if (!r.ok() || !r.has(qint64(count) * (pointSize + 1)))
            return corrupt(rec);
        const QPolygonF pts = points(r, count, small);
        canvas.polyDraw(pts, QByteArray(r.at(r.pos(), count), count));
        return true;
    }
    default:
        break;
    }
    const quint32 count = r.u32();
    if (!r.ok() || !r.has(qint64(count) * pointSize))
        return corrupt(rec);
    const QPolygonF pts = points(r, count, small);
    switch (small ? rec.type - EMR_POLYBEZIER16 + EMR_POLYBEZIER : rec.type) {
    case EMR_POLYBEZIER: canvas.polyBezier(pts); break;
    case EMR_POLYGON: canvas.polygon(pts); break;
    case EMR_POLYLINE: canvas.polyline(pts); break;
    case EMR_POLYBEZIERTO: canvas.polyBezierTo(pts); break;
    case EMR_POLYLINETO: canvas.polylineTo(pts); break;
    default: break;
    }
    return true;
}

bool EmfPlayer::createObject(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    const quint32 index = r.u32();
    if (!r.ok())
        return corrupt(rec);
    if (!objectIndex(canvas, index, rec, false))
        return false;
    GdiObject object;
    switch (rec.type) {
    case EMR_CREATEPEN: {
        GdiPen pen;
        pen.style = r.u32();
        pen.width = std::abs(double(r.i32()));
        r.i32();
        pen.colour = canvas.colour(r.u32());
        pen.cosmetic = pen.width == 0;
        pen.style &= ~quint32(PS_GEOMETRIC);
        object = pen;
        break;
    }
    case EMR_EXTCREATEPEN: {
        r.skip(16);   // bitmap offsets: pattern pens draw in their colour
        GdiPen pen;
        pen.style = r.u32();
        pen.width = r.u32();
        const quint32 brushStyle = r.u32();
        pen.colour = canvas.colour(r.u32());
        r.u32();
        const quint32 entries = r.u32();
        if (!r.ok() || !r.has(qint64(entries) * 4))
            return corrupt(rec);
        for (quint32 i = 0; i < entries && i < 16; ++i)
            pen.dashes.append(r.u32());
        pen.cosmetic = !(pen.style & PS_GEOMETRIC);
        if (brushStyle == BS_NULL)
            pen.style = (pen.style & ~quint32(PS_STYLE_MASK)) | PS_NULL;
        object = pen;
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        GdiBrush brush;
        const quint32 style = r.u32();
        brush.colour = canvas.colour(r.u32());
        brush.hatch = int(r.u32() & 0xff);
        brush.kind = style == BS_NULL ? GdiBrush::Kind::Null
            : style == BS_HATCHED     ? GdiBrush::Kind::Hatched
                                      : GdiBrush::Kind::Solid;
        object = brush;
        break;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: {
        const quint32 usage = r.u32();
        const quint32 offBmi = r.u32();
        const quint32 cbBmi = r.u32();
        const quint32 offBits = r.u32();
        const quint32 cbBits = r.u32();
        if (!r.ok())
            return corrupt(rec);
        GdiBrush brush;
        brush.kind = GdiBrush::Kind::Pattern;
        brush.colour = Qt::black;
        bool bottomUp = true;
        if (!bitmapAt(rec, offBmi, cbBmi, offBits, cbBits, usage, canvas, &brush.pattern, &bottomUp))
            return false;
        brush.monochrome = rec.type == EMR_CREATEMONOBRUSH;
        object = brush;
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        GdiFont font;
        font.height = r.i32();
        font.width = r.i32();
        font.escapement = r.i32();
        r.i32();
        font.weight = r.i32();
        font.italic = r.u8();
        font.underline = r.u8();
        font.strikeOut = r.u8();
        font.charset = r.u8();
        r.skip(3);
        font.pitchAndFamily = r.u8();
        if (!r.ok() || !r.has(64))
            return corrupt(rec);
        const auto* face = reinterpret_cast<const uchar*>(r.at(r.pos(), 64));
        for (int i = 0; i < 32; ++i) {
            const char16_t c = char16_t(face[2 * i] | (face[2 * i + 1] << 8));
            if (!c)
                break;
            font.face.append(QChar(c));
        }
        object = font;
        break;
    }
    case EMR_CREATEPALETTE: {
        r.u16();
        const quint16 count = r.u16();
        if (!r.ok() || !r.has(qint64(count) * 4))
            return corrupt(rec);
        GdiPalette palette;
        for (int i = 0; i < count; ++i) {
            const quint8 red = r.u8();
            const quint8 green = r.u8();
            const quint8 blue = r.u8();
            r.u8();
            palette.colours.append(qRgb(red, green, blue));
        }
        object = palette;
        break;
    }
    case EMR_SETPALETTEENTRIES: {
        const quint32 start = r.u32();
        const quint32 count = r.u32();
        if (!r.ok() || !r.has(qint64(count) * 4))
            return corrupt(rec);
        const auto* existing = std::get_if<GdiPalette>(&canvas.object(int(index)));
        if (!existing)
            return true;
        GdiPalette palette = *existing;
        for (quint32 i = 0; i < count; ++i) {
            const quint8 red = r.u8();
            const quint8 green = r.u8();
            const quint8 blue = r.u8();
            r.u8();
            if (start + i < quint32(palette.colours.size()))
                palette.colours[start + i] = qRgb(red, green, blue);
        }
        object = palette;
        break;
    }
    default:
        return true;
    }
    if (!r.ok())
        return corrupt(rec);
    canvas.setObject(int(index), std::move(object));
    return true;
}

bool EmfPlayer::bitmapAt(const Record& rec, quint32 offBmi, quint32 cbBmi, quint32 offBits, quint32 cbBits, quint32 usage,
                         const GdiCanvas& canvas, QImage* image, bool* bottomUp, bool keepAlpha)
{
    const ByteReader info = rec.data.range(offBmi, cbBmi);
    const ByteReader bits = rec.data.range(offBits, cbBits);
    if (!info.ok() || !bits.ok())
        return corrupt(rec);
    // A bitmap whose own fields do not add up is left out; the file around it still plays.
    const DibReader::Result dib = DibReader::decode(info, bits, usage == 1, canvas.state().palette, keepAlpha);
    *image = dib.image;
    *bottomUp = dib.bottomUp;
    return true;
}

bool EmfPlayer::blit(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    r.skip(16);   // bounds
    QRectF dest;
    QRectF src;
    quint32 rop = SRCCOPY;
    quint32 usage = 0;
    quint32 offBmi = 0;
    quint32 cbBmi = 0;
    quint32 offBits = 0;
    quint32 cbBits = 0;
    bool flipSource = false;
    if (rec.type == EMR_STRETCHDIBITS || rec.type == EMR_SETDIBITSTODEVICE) {
        const QPointF d = pointl(r);
        const QPointF sp = pointl(r);
        const QSizeF ss = sizel(r);
        offBmi = r.u32();
        cbBmi = r.u32();
        offBits = r.u32();
        cbBits = r.u32();
        usage = r.u32();
        QSizeF ds = ss;
        if (rec.type == EMR_STRETCHDIBITS) {
            rop = r.u32();
            ds = sizel(r);
        }
        dest = QRectF(d, ds);
        src = QRectF(sp, ss);
        flipSource = true;
    } else {
        const QPointF d = pointl(r);
        const QSizeF ds = sizel(r);
        rop = r.u32();
        const QPointF sp = pointl(r);
        const QTransform sourceTransform = xform(r);
        r.u32();      // source background colour
        usage = r.u32();
        offBmi = r.u32();
        cbBmi = r.u32();
        offBits = r.u32();
        cbBits = r.u32();
        QSizeF ss = ds;
        if (rec.type != EMR_BITBLT)
            ss = sizel(r);
        dest = QRectF(d, ds);
        src = QRectF(sp, ss);
        // The source rectangle is in the source device's logical units; a plain scale and offset
        // from there to its pixels is honoured, anything else read as identity.
        const QRectF mapped = sourceTransform.mapRect(src);
        if (sourceTransform.type() <= QTransform::TxScale && sourceTransform.determinant() != 0
            && std::isfinite(mapped.width()) && std::isfinite(mapped.height()) && std::abs(mapped.left()) < 1e9
            && std::abs(mapped.top()) < 1e9 && mapped.width() < 1e9 && mapped.height() < 1e9)
            src = mapped;
    }
    if (!r.ok())
        return corrupt(rec);
    if (cbBmi == 0) {
        if (rec.type == EMR_BITBLT || rec.type == EMR_STRETCHBLT)
            canvas.patBlt(dest, rop);
        return true;
    }
    QImage image;
    bool bottomUp = true;
    const bool alpha = rec.type == EMR_ALPHABLEND && ((rop >> 24) & 1);
    if (!bitmapAt(rec, offBmi, cbBmi, offBits, cbBits, usage, canvas, &image, &bottomUp, alpha))
        return false;
    if (image.isNull())
        return true;
    if (flipSource && bottomUp)
        src.moveTop(image.height() - src.top() - src.height());
    if (rec.type == EMR_ALPHABLEND) {
        const double constant = ((rop >> 16) & 0xff) / 255.0;
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
        canvas.alphaBlend(dest, image, src, constant);
        return true;
    }
    if (rec.type == EMR_TRANSPARENTBLT) {
        const QRgb key = canvas.colour(rop).rgb() & 0xffffff;
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0xffffff) == key)
                    line[x] = 0;
            }
        }
        canvas.alphaBlend(dest, image, src, 1.0);
        return true;
    }
    canvas.stretchBlt(dest, image, src, rop);
    return true;
}

bool EmfPlayer::text(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    QPointF reference;
    quint32 count = 0;
    quint32 options = 0;
    std::optional<QRectF> box;
    QString string;
    QList<QPointF> advances;
    if (rec.type == EMR_SMALLTEXTOUT) {
        reference = pointl(r);
        count = r.u32();
        options = r.u32();
        r.skip(12);   // graphics mode, scales
        if (!(options & 0x100))
            box = rectl(r);
        const bool eightBit = options & 0x200;
        const qint64 bytes = qint64(count) * (eightBit ? 1 : 2);
        if (!r.ok() || !r.has(bytes))
            return corrupt(rec);
        const char* p = r.at(r.pos(), bytes);
        if (eightBit) {
            string = decodeCodePage(p, count, canvas.state().font.charset);
        } else {
            for (quint32 i = 0; i < count; ++i)
                string.append(QChar(char16_t(quint8(p[2 * i]) | (quint8(p[2 * i + 1]) << 8))));
        }
    } else {
        r.skip(16);   // bounds
        r.skip(12);   // graphics mode, scales
        reference = pointl(r);
        count = r.u32();
        const quint32 offString = r.u32();
        options = r.u32();
        const QRectF rect = rectl(r);
        const quint32 offDx = r.u32();
        if (!r.ok())
            return corrupt(rec);
        if (options & (ETO_OPAQUE | ETO_CLIPPED))
            box = rect;
        const bool wide = rec.type == EMR_EXTTEXTOUTW;
        const char* p = rec.data.at(offString, qint64(count) * (wide ? 2 : 1));
        if (count && !p)
            return corrupt(rec);
        if (wide) {
            for (quint32 i = 0; i < count; ++i)
                string.append(QChar(char16_t(quint8(p[2 * i]) | (quint8(p[2 * i + 1]) << 8))));
        } else if (count) {
            string = decodeCodePage(p, count, canvas.state().font.charset);
        }
        if (offDx && count) {
            const bool pairs = options & ETO_PDY;
            ByteReader dx = rec.data.range(offDx, qint64(count) * (pairs ? 8 : 4));
            if (!dx.ok())
                return corrupt(rec);
            for (quint32 i = 0; i < count; ++i) {
                const double x = dx.i32();
                const double y = pairs ? dx.i32() : 0;
                advances.append(QPointF(x, y));
            }
        }
    }
    // Glyph indices name shapes in a font file we do not have; their text cannot be recovered.
    if (options & ETO_GLYPH_INDEX)
        string.clear();
    canvas.textOut(reference, string, advances, options, box);
    return true;
}

bool EmfPlayer::region(GdiCanvas& canvas, const Record& rec)
{
    ByteReader r = rec.data;
    if (rec.type == EMR_EXTSELECTCLIPRGN) {
        const quint32 size = r.u32();
        const quint32 mode = r.u32();
        if (!r.ok())
            return corrupt(rec);
        if (size == 0) {
            if (mode == RGN_COPY)
                canvas.resetClip();
            return true;
        }
        const std::optional<QList<QRect>> region = readRegionData(r.range(16, size));
        if (!region)
            return corrupt(rec);
        canvas.selectClipRegion(*region, int(mode));
        return true;
    }
    r.skip(16);   // bounds
    const quint32 size = r.u32();
    quint32 brush = 0;
    QSizeF stroke;
    if (rec.type == EMR_FILLRGN || rec.type == EMR_FRAMERGN)
        brush = r.u32();
    if (rec.type == EMR_FRAMERGN)
        stroke = sizel(r);
    if (!r.ok())
        return corrupt(rec);
    const std::optional<QList<QRect>> region = readRegionData(r.range(r.pos(), size));
    if (!region)
        return corrupt(rec);
    GdiBrush chosen = canvas.state().brush;
    if (rec.type == EMR_FILLRGN || rec.type == EMR_FRAMERGN) {
        if (!objectIndex(canvas, brush, rec, true))
            return false;
        if (brush & STOCK_FLAG) {
            const GdiBrush saved = canvas.state().brush;
            canvas.selectStockObject(brush);
            chosen = canvas.state().brush;
            canvas.state().brush = saved;
        } else if (const auto* b = std::get_if<GdiBrush>(&canvas.object(int(brush)))) {
            chosen = *b;
        } else {
            return true;
        }
    }
    switch (rec.type) {
    case EMR_FILLRGN:
    case EMR_PAINTRGN: canvas.fillRegion(*region, chosen); break;
    case EMR_FRAMERGN: canvas.frameRegion(*region, chosen, stroke); break;
    case EMR_INVERTRGN: canvas.invertRegion(*region); break;
    default: break;
    }
    return true;
}

} // namespace orv
