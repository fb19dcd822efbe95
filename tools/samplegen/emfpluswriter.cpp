#include "emfpluswriter.h"

#include "bytewriter.h"

#include <cstring>

namespace orv {

namespace {

constexpr quint32 version = 0xDBC01002;

void real(ByteWriter& w, double v)
{
    const float f = float(v);
    quint32 bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    w.le32(bits);
}

void rect(ByteWriter& w, const QRectF& r)
{
    real(w, r.x());
    real(w, r.y());
    real(w, r.width());
    real(w, r.height());
}

void point(ByteWriter& w, const QPointF& p)
{
    real(w, p.x());
    real(w, p.y());
}

void matrix(ByteWriter& w, const QTransform& t)
{
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        real(w, v);
}

// An EmfPlusPath: float points, one type byte each, padded to four bytes.
QByteArray pathData(const QPainterPath& path)
{
    QList<QPointF> points;
    QByteArray types;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        points.append(QPointF(e.x, e.y));
        types.append(char(e.isMoveTo() ? 0 : e.isLineTo() ? 1 : 3));
    }
    if (!types.isEmpty() && points.size() > 2 && points.first() == points.last())
        types[types.size() - 1] = char(quint8(types.back()) | 0x80);
    ByteWriter w;
    w.le32(version);
    w.le32(quint32(points.size()));
    w.le32(0);
    for (const QPointF& p : points)
        point(w, p);
    w.bytes(types);
    while (w.size() % 4)
        w.u8(0);
    return w.take();
}

} // namespace

quint32 EmfPlusWriter::argb(const QColor& c)
{
    return c.rgba();
}

quint32 EmfPlusWriter::brushField(const Fill& f)
{
    return f.isColour ? argb(f.colour) : quint32(f.object);
}

quint16 EmfPlusWriter::brushFlags(const Fill& f)
{
    return f.isColour ? 0x8000 : 0;
}

void EmfPlusWriter::add(quint16 type, quint16 flags, const QByteArray& data)
{
    ByteWriter w;
    w.le16(type);
    w.le16(flags);
    const quint32 padded = quint32((data.size() + 3) / 4 * 4);
    w.le32(12 + padded);
    w.le32(quint32(data.size()));
    w.bytes(data);
    w.zeros(padded - data.size());
    m_records.append(w.data());
}

void EmfPlusWriter::object(int id, int type, const QByteArray& data)
{
    add(0x4008, quint16((id & 0xff) | (type << 8)), data);
}

QByteArray EmfPlusWriter::take()
{
    QByteArray comment("EMF+", 4);
    comment.append(m_records);
    m_records.clear();
    return comment;
}

void EmfPlusWriter::header(bool dual, int dpi)
{
    ByteWriter w;
    w.le32(version);
    w.le32(1);   // recorded for a video display
    w.le32(quint32(dpi));
    w.le32(quint32(dpi));
    add(0x4001, dual ? 1 : 0, w.take());
}

void EmfPlusWriter::endOfFile()
{
    add(0x4002, 0, {});
}

void EmfPlusWriter::getDC()
{
    add(0x4004, 0, {});
}

void EmfPlusWriter::setPageTransform(Unit unit, double scale)
{
    ByteWriter w;
    real(w, scale);
    add(0x4030, quint16(unit), w.take());
}

void EmfPlusWriter::setWorldTransform(const QTransform& t)
{
    ByteWriter w;
    matrix(w, t);
    add(0x402A, 0, w.take());
}

void EmfPlusWriter::multiplyWorldTransform(const QTransform& t, bool append)
{
    ByteWriter w;
    matrix(w, t);
    add(0x402C, append ? 0x2000 : 0, w.take());
}

void EmfPlusWriter::save(quint32 index)
{
    ByteWriter w;
    w.le32(index);
    add(0x4025, 0, w.take());
}

void EmfPlusWriter::restore(quint32 index)
{
    ByteWriter w;
    w.le32(index);
    add(0x4026, 0, w.take());
}

void EmfPlusWriter::resetClip()
{
    add(0x4031, 0, {});
}

void EmfPlusWriter::setClipRect(const QRectF& r, int mode)
{
    ByteWriter w;
    rect(w, r);
    add(0x4032, quint16((mode & 0xf) << 8), w.take());
}

void EmfPlusWriter::setClipPath(int pathId, int mode)
{
    add(0x4033, quint16(((mode & 0xf) << 8) | (pathId & 0xff)), {});
}

void EmfPlusWriter::solidBrush(int id, const QColor& c)
{
    ByteWriter w;
    w.le32(version);
    w.le32(0);
    w.le32(argb(c));
    object(id, 1, w.take());
}

void EmfPlusWriter::hatchBrush(int id, int style, const QColor& fore, const QColor& back)
{
    ByteWriter w;
    w.le32(version);
    w.le32(1);
    w.le32(quint32(style));
    w.le32(argb(fore));
    w.le32(argb(back));
    object(id, 1, w.take());
}

void EmfPlusWriter::linearGradientBrush(int id, const QRectF& r, const QColor& start, const QColor& end)
{
    ByteWriter w;
    w.le32(version);
    w.le32(4);
    w.le32(0);   // no optional data
    w.le32(0);   // tile
    rect(w, r);
    w.le32(argb(start));
    w.le32(argb(end));
    w.le32(0);
    w.le32(0);
    object(id, 1, w.take());
}

void EmfPlusWriter::pathGradientBrush(int id, const QPolygonF& boundary, const QPointF& centre, const QColor& centreColour,
                                      const QColor& edgeColour)
{
    ByteWriter w;
    w.le32(version);
    w.le32(3);
    w.le32(0);   // boundary as points, no optional data
    w.le32(0);
    w.le32(argb(centreColour));
    point(w, centre);
    w.le32(1);
    w.le32(argb(edgeColour));
    w.le32(quint32(boundary.size()));
    for (const QPointF& p : boundary)
        point(w, p);
    object(id, 1, w.take());
}

void EmfPlusWriter::pen(int id, double width, const QColor& c, int dashStyle, int startCap, int endCap)
{
    ByteWriter w;
    w.le32(version);
    w.le32(0);
    quint32 flags = 0;
    if (startCap)
        flags |= 0x02;
    if (endCap)
        flags |= 0x04;
    if (dashStyle)
        flags |= 0x20;
    w.le32(flags);
    w.le32(0);   // world units
    real(w, width);
    if (startCap)
        w.le32(quint32(startCap));
    if (endCap)
        w.le32(quint32(endCap));
    if (dashStyle)
        w.le32(quint32(dashStyle));
    w.le32(version);   // its brush
    w.le32(0);
    w.le32(argb(c));
    object(id, 2, w.take());
}

void EmfPlusWriter::path(int id, const QPainterPath& p)
{
    object(id, 3, pathData(p));
}

void EmfPlusWriter::font(int id, double emSize, Unit unit, const QString& family, int style)
{
    ByteWriter w;
    w.le32(version);
    real(w, emSize);
    w.le32(quint32(unit));
    w.le32(quint32(style));
    w.le32(0);
    w.le32(quint32(family.size()));
    for (const QChar c : family)
        w.le16(c.unicode());
    object(id, 6, w.take());
}

void EmfPlusWriter::stringFormat(int id, int alignment, int lineAlignment, quint32 flags)
{
    ByteWriter w;
    w.le32(version);
    w.le32(flags);
    w.le32(0x0409);
    w.le32(quint32(alignment));
    w.le32(quint32(lineAlignment));
    w.le32(0);
    w.le32(0);
    real(w, 0);    // first tab offset
    w.le32(0);     // hotkey prefix
    real(w, 0);    // leading margin
    real(w, 0);    // trailing margin
    real(w, 0);    // tracking
    w.le32(0);     // trimming
    w.le32(0);     // tab stops
    w.le32(0);     // character ranges
    object(id, 7, w.take());
}

void EmfPlusWriter::bitmap(int id, const QImage& image)
{
    const QImage argbImage = image.convertToFormat(QImage::Format_ARGB32);
    ByteWriter w;
    w.le32(version);
    w.le32(1);
    w.le32(quint32(argbImage.width()));
    w.le32(quint32(argbImage.height()));
    w.le32(quint32(argbImage.width() * 4));
    w.le32(0x0026200A);   // 32 bits ARGB
    w.le32(0);            // pixels, not compressed
    for (int y = 0; y < argbImage.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argbImage.constScanLine(y));
        for (int x = 0; x < argbImage.width(); ++x)
            w.le32(line[x]);
    }
    object(id, 5, w.take());
}

void EmfPlusWriter::metafile(int id, const QByteArray& data)
{
    ByteWriter w;
    w.le32(version);
    w.le32(2);
    w.le32(3);   // EMF; the bytes say which in the end
    w.le32(quint32(data.size()));
    w.bytes(data);
    object(id, 5, w.take());
}

void EmfPlusWriter::clear(const QColor& c)
{
    ByteWriter w;
    w.le32(argb(c));
    add(0x4009, 0, w.take());
}

void EmfPlusWriter::fillRects(Fill brush, const QList<QRectF>& rects)
{
    ByteWriter w;
    w.le32(brushField(brush));
    w.le32(quint32(rects.size()));
    for (const QRectF& r : rects)
        rect(w, r);
    add(0x400A, brushFlags(brush), w.take());
}

void EmfPlusWriter::drawRects(int penId, const QList<QRectF>& rects)
{
    ByteWriter w;
    w.le32(quint32(rects.size()));
    for (const QRectF& r : rects)
        rect(w, r);
    add(0x400B, quint16(penId & 0xff), w.take());
}

void EmfPlusWriter::fillEllipse(Fill brush, const QRectF& r)
{
    ByteWriter w;
    w.le32(brushField(brush));
    rect(w, r);
    add(0x400E, brushFlags(brush), w.take());
}

void EmfPlusWriter::fillPie(Fill brush, const QRectF& r, double startAngle, double sweepAngle)
{
    ByteWriter w;
    w.le32(brushField(brush));
    real(w, startAngle);
    real(w, sweepAngle);
    rect(w, r);
    add(0x4010, brushFlags(brush), w.take());
}

void EmfPlusWriter::fillPolygon(Fill brush, const QPolygonF& points)
{
    ByteWriter w;
    w.le32(brushField(brush));
    w.le32(quint32(points.size()));
    for (const QPointF& p : points)
        point(w, p);
    add(0x400C, brushFlags(brush), w.take());
}

void EmfPlusWriter::drawLines(int penId, const QPolygonF& points, bool closed)
{
    ByteWriter w;
    w.le32(quint32(points.size()));
    for (const QPointF& p : points)
        point(w, p);
    add(0x400D, quint16((penId & 0xff) | (closed ? 0x2000 : 0)), w.take());
}

void EmfPlusWriter::drawBeziers(int penId, const QPolygonF& points)
{
    ByteWriter w;
    w.le32(quint32(points.size()));
    for (const QPointF& p : points)
        point(w, p);
    add(0x4019, quint16(penId & 0xff), w.take());
}

void EmfPlusWriter::fillPath(Fill brush, int pathId)
{
    ByteWriter w;
    w.le32(brushField(brush));
    add(0x4014, quint16(brushFlags(brush) | (pathId & 0xff)), w.take());
}

void EmfPlusWriter::drawPath(int penId, int pathId)
{
    ByteWriter w;
    w.le32(quint32(penId));
    add(0x4015, quint16(pathId & 0xff), w.take());
}

void EmfPlusWriter::drawString(int fontId, Fill brush, int formatId, const QString& text, const QRectF& layout)
{
    ByteWriter w;
    w.le32(brushField(brush));
    w.le32(quint32(formatId));
    w.le32(quint32(text.size()));
    rect(w, layout);
    for (const QChar c : text)
        w.le16(c.unicode());
    add(0x401C, quint16(brushFlags(brush) | (fontId & 0xff)), w.take());
}

void EmfPlusWriter::drawImage(int imageId, const QRectF& source, const QRectF& dest)
{
    ByteWriter w;
    w.le32(0xffffffff);   // no image attributes
    w.le32(2);            // source in pixels
    rect(w, source);
    rect(w, dest);
    add(0x401A, quint16(imageId & 0xff), w.take());
}

} // namespace orv
