#include "emfwriter.h"

#include "bmpwriter.h"
#include "bytewriter.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace orv {

namespace {

quint32 colorRef(const QColor& c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

quint32 bits(float f)
{
    return std::bit_cast<quint32>(f);
}

void rect(ByteWriter& w, const QRect& r)
{
    w.le32(quint32(r.left()));
    w.le32(quint32(r.top()));
    w.le32(quint32(r.left() + r.width()));
    w.le32(quint32(r.top() + r.height()));
}

void emptyBounds(ByteWriter& w)
{
    w.le32(0);
    w.le32(0);
    w.le32(quint32(-1));
    w.le32(quint32(-1));
}

void xform(ByteWriter& w, const QTransform& t)
{
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        w.le32(bits(float(v)));
}

} // namespace

EmfWriter::EmfWriter(const QRect& frameHimetric, QSize devicePixels, QSize deviceMicrometres, const QString& description)
    : frame_(frameHimetric)
    , devicePixels_(devicePixels)
    , deviceMicrometres_(deviceMicrometres)
    , description_(description)
{
}

void EmfWriter::record(quint32 type, const QByteArray& params)
{
    QByteArray body = params;
    while (body.size() % 4)
        body.append('\0');
    ByteWriter w(8 + body.size());
    w.le32(type);
    w.le32(quint32(8 + body.size()));
    w.bytes(body);
    records_.append(w.data());
    ++recordCount_;
}

void EmfWriter::setMapMode(int mode)
{
    ByteWriter w;
    w.le32(quint32(mode));
    record(17, w.data());
}

void EmfWriter::setWindowExt(QSize ext)
{
    ByteWriter w;
    w.le32(quint32(ext.width()));
    w.le32(quint32(ext.height()));
    record(9, w.data());
}

void EmfWriter::setWindowOrg(QPoint org)
{
    ByteWriter w;
    w.le32(quint32(org.x()));
    w.le32(quint32(org.y()));
    record(10, w.data());
}

void EmfWriter::setViewportExt(QSize ext)
{
    ByteWriter w;
    w.le32(quint32(ext.width()));
    w.le32(quint32(ext.height()));
    record(11, w.data());
}

void EmfWriter::setViewportOrg(QPoint org)
{
    ByteWriter w;
    w.le32(quint32(org.x()));
    w.le32(quint32(org.y()));
    record(12, w.data());
}

void EmfWriter::setWorldTransform(const QTransform& t)
{
    ByteWriter w;
    xform(w, t);
    record(35, w.data());
}

void EmfWriter::modifyWorldTransform(const QTransform& t, int mode)
{
    ByteWriter w;
    xform(w, t);
    w.le32(quint32(mode));
    record(36, w.data());
}

void EmfWriter::saveDC()
{
    record(33, {});
}

void EmfWriter::restoreDC(int which)
{
    ByteWriter w;
    w.le32(quint32(which));
    record(34, w.data());
}

void EmfWriter::setBkMode(int mode)
{
    ByteWriter w;
    w.le32(quint32(mode));
    record(18, w.data());
}

void EmfWriter::setBkColor(const QColor& colour)
{
    ByteWriter w;
    w.le32(colorRef(colour));
    record(25, w.data());
}

void EmfWriter::setTextColor(const QColor& colour)
{
    ByteWriter w;
    w.le32(colorRef(colour));
    record(24, w.data());
}

void EmfWriter::setTextAlign(int align)
{
    ByteWriter w;
    w.le32(quint32(align));
    record(22, w.data());
}

void EmfWriter::setPolyFillMode(int mode)
{
    ByteWriter w;
    w.le32(quint32(mode));
    record(19, w.data());
}

void EmfWriter::intersectClipRect(const QRect& r)
{
    boxRecord(30, r);
}

void EmfWriter::excludeClipRect(const QRect& r)
{
    boxRecord(29, r);
}

void EmfWriter::gdiComment(const QByteArray& data)
{
    ByteWriter w;
    w.le32(quint32(data.size()));
    w.bytes(data);
    record(70, w.data());
}

quint32 EmfWriter::takeHandle()
{
    const auto free = std::find(handles_.begin(), handles_.end(), false);
    const auto handle = quint32(free - handles_.begin());
    if (free == handles_.end())
        handles_.append(true);
    else
        *free = true;
    return handle;
}

quint32 EmfWriter::createPen(int style, int width, const QColor& colour)
{
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.le32(quint32(style));
    w.le32(quint32(width));
    w.le32(0);
    w.le32(colorRef(colour));
    record(38, w.data());
    return handle;
}

quint32 EmfWriter::extCreatePen(quint32 style, int width, const QColor& colour)
{
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.zeros(16);           // no pattern bitmap
    w.le32(style);
    w.le32(quint32(width));
    w.le32(0);             // BS_SOLID
    w.le32(colorRef(colour));
    w.le32(0);
    w.le32(0);             // no user style entries
    record(95, w.data());
    return handle;
}

quint32 EmfWriter::createBrush(int style, const QColor& colour, int hatch)
{
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.le32(quint32(style));
    w.le32(colorRef(colour));
    w.le32(quint32(hatch));
    record(39, w.data());
    return handle;
}

quint32 EmfWriter::createFont(const LogFont& font)
{
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.le32(quint32(font.height));
    w.le32(quint32(font.width));
    w.le32(quint32(font.escapement));
    w.le32(quint32(font.escapement));
    w.le32(quint32(font.weight));
    w.u8(font.italic);
    w.u8(font.underline);
    w.u8(0);
    w.u8(font.charset);
    w.u8(0);
    w.u8(0);
    w.u8(4);   // antialiased quality
    w.u8(font.pitchAndFamily);
    const QString face = font.face.left(31);
    for (int i = 0; i < 32; ++i)
        w.le16(i < face.size() ? face[i].unicode() : 0);
    record(82, w.data());
    return handle;
}

quint32 EmfWriter::createPatternBrush(const QImage& pattern)
{
    const QByteArray dib = BmpWriter::encodeRgb24(pattern).mid(14);
    constexpr quint32 fixed = 32;          // record header, handle, usage and four offsets
    constexpr quint32 info = 40;
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.le32(0);                             // DIB_RGB_COLORS
    w.le32(fixed);
    w.le32(info);
    w.le32(fixed + info);
    w.le32(quint32(std::max<qsizetype>(dib.size() - info, 0)));
    w.bytes(dib);
    record(94, w.data());
    return handle;
}

quint32 EmfWriter::createPalette(const QList<QRgb>& colours)
{
    const quint32 handle = takeHandle();
    ByteWriter w;
    w.le32(handle);
    w.le16(0x0300);
    w.le16(quint32(colours.size()));
    for (QRgb c : colours) {
        w.u8(quint32(qRed(c)));
        w.u8(quint32(qGreen(c)));
        w.u8(quint32(qBlue(c)));
        w.u8(0);
    }
    record(49, w.data());
    return handle;
}

void EmfWriter::selectPalette(quint32 handle)
{
    ByteWriter w;
    w.le32(handle);
    record(48, w.data());
}

void EmfWriter::selectObject(quint32 handle)
{
    ByteWriter w;
    w.le32(handle);
    record(37, w.data());
}

void EmfWriter::deleteObject(quint32 handle)
{
    ByteWriter w;
    w.le32(handle);
    record(40, w.data());
    if (handle > 0 && handle < quint32(handles_.size()))
        handles_[handle] = false;
}

void EmfWriter::moveTo(QPoint p)
{
    ByteWriter w;
    w.le32(quint32(p.x()));
    w.le32(quint32(p.y()));
    record(27, w.data());
}

void EmfWriter::lineTo(QPoint p)
{
    ByteWriter w;
    w.le32(quint32(p.x()));
    w.le32(quint32(p.y()));
    record(54, w.data());
}

void EmfWriter::boxRecord(quint32 type, const QRect& r, const QByteArray& extra)
{
    ByteWriter w;
    rect(w, r);
    w.bytes(extra);
    record(type, w.data());
}

void EmfWriter::rectangle(const QRect& r)
{
    boxRecord(43, r);
}

void EmfWriter::roundRect(const QRect& r, QSize corner)
{
    ByteWriter extra;
    extra.le32(quint32(corner.width()));
    extra.le32(quint32(corner.height()));
    boxRecord(44, r, extra.data());
}

void EmfWriter::ellipse(const QRect& r)
{
    boxRecord(42, r);
}

void EmfWriter::arc(const QRect& r, QPoint start, QPoint end)
{
    ByteWriter extra;
    for (int v : {start.x(), start.y(), end.x(), end.y()})
        extra.le32(quint32(v));
    boxRecord(45, r, extra.data());
}

void EmfWriter::chord(const QRect& r, QPoint start, QPoint end)
{
    ByteWriter extra;
    for (int v : {start.x(), start.y(), end.x(), end.y()})
        extra.le32(quint32(v));
    boxRecord(46, r, extra.data());
}

void EmfWriter::pie(const QRect& r, QPoint start, QPoint end)
{
    ByteWriter extra;
    for (int v : {start.x(), start.y(), end.x(), end.y()})
        extra.le32(quint32(v));
    boxRecord(47, r, extra.data());
}

void EmfWriter::poly(quint32 type, const QPolygon& points, bool small)
{
    ByteWriter w;
    emptyBounds(w);
    w.le32(quint32(points.size()));
    for (const QPoint& p : points) {
        if (small) {
            w.le16(quint32(p.x()) & 0xffffu);
            w.le16(quint32(p.y()) & 0xffffu);
        } else {
            w.le32(quint32(p.x()));
            w.le32(quint32(p.y()));
        }
    }
    record(type, w.data());
}

void EmfWriter::polygon(const QPolygon& points) { poly(3, points, false); }
void EmfWriter::polyline(const QPolygon& points) { poly(4, points, false); }
void EmfWriter::polyBezier16(const QPolygon& points) { poly(85, points, true); }
void EmfWriter::polygon16(const QPolygon& points) { poly(86, points, true); }
void EmfWriter::polyline16(const QPolygon& points) { poly(87, points, true); }
void EmfWriter::polyBezierTo16(const QPolygon& points) { poly(88, points, true); }
void EmfWriter::polylineTo16(const QPolygon& points) { poly(89, points, true); }

void EmfWriter::polyPolygon16(const QList<QPolygon>& polygons)
{
    ByteWriter w;
    emptyBounds(w);
    qsizetype total = 0;
    for (const QPolygon& p : polygons)
        total += p.size();
    w.le32(quint32(polygons.size()));
    w.le32(quint32(total));
    for (const QPolygon& p : polygons)
        w.le32(quint32(p.size()));
    for (const QPolygon& polygon : polygons) {
        for (const QPoint& p : polygon) {
            w.le16(quint32(p.x()) & 0xffffu);
            w.le16(quint32(p.y()) & 0xffffu);
        }
    }
    record(91, w.data());
}

void EmfWriter::beginPath() { record(59, {}); }
void EmfWriter::endPath() { record(60, {}); }
void EmfWriter::closeFigure() { record(61, {}); }

void EmfWriter::fillPath()
{
    ByteWriter w;
    emptyBounds(w);
    record(62, w.data());
}

void EmfWriter::strokeAndFillPath()
{
    ByteWriter w;
    emptyBounds(w);
    record(63, w.data());
}

void EmfWriter::strokePath()
{
    ByteWriter w;
    emptyBounds(w);
    record(64, w.data());
}

void EmfWriter::extTextOut(QPoint p, const QString& text, int options, const QRect& box, const QList<int>& dx)
{
    constexpr quint32 fixed = 76;          // record header, bounds, mode, scales and the text block
    const auto chars = quint32(text.size());
    const quint32 stringBytes = (chars * 2 + 3) / 4 * 4;
    ByteWriter w;
    emptyBounds(w);
    w.le32(1);                             // GM_COMPATIBLE
    w.le32(bits(0.0f));
    w.le32(bits(0.0f));
    w.le32(quint32(p.x()));
    w.le32(quint32(p.y()));
    w.le32(chars);
    w.le32(fixed);
    w.le32(quint32(options));
    if (options & 6)
        rect(w, box);
    else
        emptyBounds(w);
    w.le32(dx.isEmpty() ? 0 : fixed + stringBytes);
    for (QChar c : text)
        w.le16(c.unicode());
    w.zeros(stringBytes - chars * 2);
    for (int d : dx)
        w.le32(quint32(d));
    record(84, w.data());
}

void EmfWriter::stretchDIBits(const QRect& dest, const QImage& image, quint32 rop)
{
    const QByteArray file = BmpWriter::encodeRgb24(image);
    if (file.isEmpty())
        return;
    const QByteArray dib = file.mid(14);   // the bitmap file without its 14-byte file header
    stretchDIBits(dest, dib.left(40), dib.mid(40), QRect(0, 0, image.width(), image.height()), rop);
}

void EmfWriter::stretchDIBits(const QRect& dest, const QByteArray& info, const QByteArray& bits, const QRect& source,
                              quint32 rop, int usage)
{
    constexpr quint32 fixed = 80;
    const auto infoSize = quint32(info.size());
    ByteWriter w;
    emptyBounds(w);
    w.le32(quint32(dest.left()));
    w.le32(quint32(dest.top()));
    w.le32(quint32(source.left()));
    w.le32(quint32(source.top()));
    w.le32(quint32(source.width()));
    w.le32(quint32(source.height()));
    w.le32(fixed);
    w.le32(infoSize);
    w.le32(fixed + infoSize);
    w.le32(quint32(bits.size()));
    w.le32(quint32(usage));
    w.le32(rop);
    w.le32(quint32(dest.width()));
    w.le32(quint32(dest.height()));
    w.bytes(info);
    w.bytes(bits);
    record(81, w.data());
}

QByteArray EmfWriter::finish()
{
    ByteWriter eof;
    eof.le32(0);
    eof.le32(16);
    eof.le32(20);
    record(14, eof.data());

    QByteArray description;
    if (!description_.isEmpty()) {
        for (QChar c : description_) {
            description.append(char(c.unicode() & 0xff));
            description.append(char(c.unicode() >> 8));
        }
        description.append(4, '\0');   // two terminating NULs
        while (description.size() % 4)
            description.append('\0');
    }
    constexpr quint32 headerBase = 108;
    const auto headerSize = quint32(headerBase + description.size());
    // The frame in reference-device pixels, inclusive, is what GDI records as the bounds.
    auto devicePixels = [this](int himetric, bool vertical) {
        const double perMm = vertical ? double(devicePixels_.height()) * 1000 / deviceMicrometres_.height()
                                      : double(devicePixels_.width()) * 1000 / deviceMicrometres_.width();
        return quint32(qint32(std::lround(himetric / 100.0 * perMm)));
    };
    ByteWriter w(qsizetype(headerSize) + records_.size());
    w.le32(1);
    w.le32(headerSize);
    w.le32(devicePixels(frame_.left(), false));
    w.le32(devicePixels(frame_.top(), true));
    w.le32(devicePixels(frame_.left() + frame_.width(), false) - 1);
    w.le32(devicePixels(frame_.top() + frame_.height(), true) - 1);
    rect(w, frame_);
    w.le32(0x464D4520u);
    w.le32(0x00010000u);
    w.le32(quint32(headerSize + records_.size()));
    w.le32(recordCount_ + 1);
    w.le16(quint32(handles_.size()));
    w.le16(0);
    w.le32(quint32(description.isEmpty() ? 0 : description_.size() + 2));
    w.le32(description.isEmpty() ? 0 : headerBase);
    w.le32(0);
    w.le32(quint32(devicePixels_.width()));
    w.le32(quint32(devicePixels_.height()));
    w.le32(quint32(std::lround(deviceMicrometres_.width() / 1000.0)));
    w.le32(quint32(std::lround(deviceMicrometres_.height() / 1000.0)));
    w.le32(0);
    w.le32(0);
    w.le32(0);
    w.le32(quint32(deviceMicrometres_.width()));
    w.le32(quint32(deviceMicrometres_.height()));
    w.bytes(description);
    w.bytes(records_);
    return w.take();
}

} // namespace orv
