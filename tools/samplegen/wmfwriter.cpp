#include "wmfwriter.h"

#include "bmpwriter.h"
#include "bytewriter.h"

#include <algorithm>

namespace orv {

namespace {

qint16 clip16(int v)
{
    return qint16(std::clamp(v, -32768, 32767));
}

quint32 colorRef(const QColor& c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

void appendLe16(QByteArray& out, int v)
{
    const auto u = quint16(clip16(v));
    out.append(char(u & 0xff));
    out.append(char(u >> 8));
}

void appendLe32(QByteArray& out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

// GDI's rectangle records run bottom, right, top, left.
void appendReversedRect(QByteArray& out, const QRect& r)
{
    appendLe16(out, r.top() + r.height());
    appendLe16(out, r.left() + r.width());
    appendLe16(out, r.top());
    appendLe16(out, r.left());
}

} // namespace

WmfWriter::WmfWriter(const QRect& frame, int unitsPerInch)
    : placeable_(true)
    , frame_(frame)
    , unitsPerInch_(unitsPerInch)
{
}

WmfWriter::WmfWriter() = default;

void WmfWriter::record(quint16 function, const QByteArray& params)
{
    QByteArray body = params;
    if (body.size() & 1)
        body.append('\0');
    const quint32 size = quint32(3 + body.size() / 2);
    appendLe32(records_, size);
    records_.append(char(function & 0xff));
    records_.append(char(function >> 8));
    records_.append(body);
    maxRecordWords_ = std::max(maxRecordWords_, size);
}

void WmfWriter::words(quint16 function, std::initializer_list<int> params)
{
    QByteArray body;
    for (int p : params)
        appendLe16(body, p);
    record(function, body);
}

void WmfWriter::setWindowOrg(QPoint org) { words(0x020B, {org.y(), org.x()}); }
void WmfWriter::setWindowExt(QSize ext) { words(0x020C, {ext.height(), ext.width()}); }
void WmfWriter::setViewportOrg(QPoint org) { words(0x020D, {org.y(), org.x()}); }
void WmfWriter::setViewportExt(QSize ext) { words(0x020E, {ext.height(), ext.width()}); }
void WmfWriter::setMapMode(int mode) { words(0x0103, {mode}); }
void WmfWriter::setBkMode(int mode) { words(0x0102, {mode, 0}); }
void WmfWriter::setTextAlign(int align) { words(0x012E, {align, 0}); }
void WmfWriter::setPolyFillMode(int mode) { words(0x0106, {mode, 0}); }
void WmfWriter::setRop2(int rop) { words(0x0104, {rop, 0}); }
void WmfWriter::saveDC() { words(0x001E, {}); }
void WmfWriter::restoreDC(int which) { words(0x0127, {which}); }

void WmfWriter::setBkColor(const QColor& colour)
{
    QByteArray body;
    appendLe32(body, colorRef(colour));
    record(0x0201, body);
}

void WmfWriter::setTextColor(const QColor& colour)
{
    QByteArray body;
    appendLe32(body, colorRef(colour));
    record(0x0209, body);
}

void WmfWriter::intersectClipRect(const QRect& r)
{
    QByteArray body;
    appendReversedRect(body, r);
    record(0x0416, body);
}

void WmfWriter::excludeClipRect(const QRect& r)
{
    QByteArray body;
    appendReversedRect(body, r);
    record(0x0415, body);
}

int WmfWriter::takeSlot()
{
    const auto free = std::find(slots_.begin(), slots_.end(), false);
    int slot = int(free - slots_.begin());
    if (free == slots_.end())
        slots_.append(true);
    else
        *free = true;
    tableSize_ = std::max<int>(tableSize_, int(slots_.size()));
    return slot;
}

int WmfWriter::createPen(int style, int width, const QColor& colour)
{
    QByteArray body;
    appendLe16(body, style);
    appendLe16(body, width);
    appendLe16(body, 0);
    appendLe32(body, colorRef(colour));
    record(0x02FA, body);
    return takeSlot();
}

int WmfWriter::createBrush(int style, const QColor& colour, int hatch)
{
    QByteArray body;
    appendLe16(body, style);
    appendLe32(body, colorRef(colour));
    appendLe16(body, hatch);
    record(0x02FC, body);
    return takeSlot();
}

int WmfWriter::createFont(const LogFont& font)
{
    QByteArray body;
    appendLe16(body, font.height);
    appendLe16(body, font.width);
    appendLe16(body, font.escapement);
    appendLe16(body, font.escapement);
    appendLe16(body, font.weight);
    body.append(char(font.italic));
    body.append(char(font.underline));
    body.append('\0');
    body.append(char(font.charset));
    body.append(char(0));    // default output precision
    body.append(char(0));    // default clip precision
    body.append(char(4));    // antialiased quality
    body.append(char(font.pitchAndFamily));
    QByteArray face = font.face.toLatin1().left(31);
    face.append('\0');
    body.append(face);
    record(0x02FB, body);
    return takeSlot();
}

int WmfWriter::createPalette(const QList<QRgb>& colours)
{
    QByteArray body;
    appendLe16(body, 0x0300);
    appendLe16(body, int(colours.size()));
    for (QRgb c : colours) {
        body.append(char(qRed(c)));
        body.append(char(qGreen(c)));
        body.append(char(qBlue(c)));
        body.append('\0');
    }
    record(0x00F7, body);
    return takeSlot();
}

int WmfWriter::createPatternBrush(const QImage& pattern)
{
    const QByteArray file = BmpWriter::encodeRgb24(pattern);
    QByteArray body;
    appendLe16(body, 5);                 // BS_DIBPATTERNPT
    appendLe16(body, 0);                 // DIB_RGB_COLORS
    body.append(file.mid(14));
    record(0x0142, body);
    return takeSlot();
}

void WmfWriter::selectObject(int index) { words(0x012D, {index}); }
void WmfWriter::selectPalette(int index) { words(0x0234, {index}); }

void WmfWriter::deleteObject(int index)
{
    words(0x01F0, {index});
    if (index >= 0 && index < slots_.size())
        slots_[index] = false;
}

void WmfWriter::moveTo(QPoint p) { words(0x0214, {p.y(), p.x()}); }
void WmfWriter::lineTo(QPoint p) { words(0x0213, {p.y(), p.x()}); }

void WmfWriter::rectangle(const QRect& r)
{
    QByteArray body;
    appendReversedRect(body, r);
    record(0x041B, body);
}

void WmfWriter::roundRect(const QRect& r, QSize corner)
{
    QByteArray body;
    appendLe16(body, corner.height());
    appendLe16(body, corner.width());
    appendReversedRect(body, r);
    record(0x061C, body);
}

void WmfWriter::ellipse(const QRect& r)
{
    QByteArray body;
    appendReversedRect(body, r);
    record(0x0418, body);
}

void WmfWriter::arcRecord(quint16 function, const QRect& r, QPoint start, QPoint end)
{
    QByteArray body;
    appendLe16(body, end.y());
    appendLe16(body, end.x());
    appendLe16(body, start.y());
    appendLe16(body, start.x());
    appendReversedRect(body, r);
    record(function, body);
}

void WmfWriter::arc(const QRect& r, QPoint start, QPoint end) { arcRecord(0x0817, r, start, end); }
void WmfWriter::pie(const QRect& r, QPoint start, QPoint end) { arcRecord(0x081A, r, start, end); }
void WmfWriter::chord(const QRect& r, QPoint start, QPoint end) { arcRecord(0x0830, r, start, end); }

void WmfWriter::polygon(const QPolygon& points)
{
    QByteArray body;
    appendLe16(body, int(points.size()));
    for (const QPoint& p : points) {
        appendLe16(body, p.x());
        appendLe16(body, p.y());
    }
    record(0x0324, body);
}

void WmfWriter::polyline(const QPolygon& points)
{
    QByteArray body;
    appendLe16(body, int(points.size()));
    for (const QPoint& p : points) {
        appendLe16(body, p.x());
        appendLe16(body, p.y());
    }
    record(0x0325, body);
}

void WmfWriter::polyPolygon(const QList<QPolygon>& polygons)
{
    QByteArray body;
    appendLe16(body, int(polygons.size()));
    for (const QPolygon& polygon : polygons)
        appendLe16(body, int(polygon.size()));
    for (const QPolygon& polygon : polygons) {
        for (const QPoint& p : polygon) {
            appendLe16(body, p.x());
            appendLe16(body, p.y());
        }
    }
    record(0x0538, body);
}

void WmfWriter::setPixel(QPoint p, const QColor& colour)
{
    QByteArray body;
    appendLe32(body, colorRef(colour));
    appendLe16(body, p.y());
    appendLe16(body, p.x());
    record(0x041F, body);
}

void WmfWriter::patBlt(const QRect& r, quint32 rop)
{
    QByteArray body;
    appendLe32(body, rop);
    appendLe16(body, r.height());
    appendLe16(body, r.width());
    appendLe16(body, r.top());
    appendLe16(body, r.left());
    record(0x061D, body);
}

void WmfWriter::textOut(QPoint p, const QByteArray& text)
{
    QByteArray body;
    appendLe16(body, int(text.size()));
    body.append(text);
    if (text.size() & 1)
        body.append('\0');
    appendLe16(body, p.y());
    appendLe16(body, p.x());
    record(0x0521, body);
}

void WmfWriter::extTextOut(QPoint p, const QByteArray& text, int options, const QRect& box, const QList<int>& dx)
{
    QByteArray body;
    appendLe16(body, p.y());
    appendLe16(body, p.x());
    appendLe16(body, int(text.size()));
    appendLe16(body, options);
    if (options & 6) {
        appendLe16(body, box.left());
        appendLe16(body, box.top());
        appendLe16(body, box.left() + box.width());
        appendLe16(body, box.top() + box.height());
    }
    body.append(text);
    if (text.size() & 1)
        body.append('\0');
    for (int d : dx)
        appendLe16(body, d);
    record(0x0A32, body);
}

void WmfWriter::stretchDib(const QRect& dest, const QImage& image, quint32 rop)
{
    const QByteArray file = BmpWriter::encodeRgb24(image);
    if (!file.isEmpty())   // the DIB is the file without its 14-byte file header
        stretchDib(dest, file.mid(14), QRect(0, 0, image.width(), image.height()), rop);
}

void WmfWriter::stretchDib(const QRect& dest, const QByteArray& dib, const QRect& source, quint32 rop, int usage)
{
    QByteArray body;
    appendLe32(body, rop);
    appendLe16(body, usage);
    appendLe16(body, source.height());
    appendLe16(body, source.width());
    appendLe16(body, source.top());
    appendLe16(body, source.left());
    appendLe16(body, dest.height());
    appendLe16(body, dest.width());
    appendLe16(body, dest.top());
    appendLe16(body, dest.left());
    body.append(dib);
    record(0x0F43, body);
}

QByteArray WmfWriter::finish()
{
    record(0x0000, {});
    ByteWriter out(records_.size() + 40);
    if (placeable_) {
        ByteWriter header;
        header.le32(0x9AC6CDD7u);
        header.le16(0);
        header.le16(quint16(clip16(frame_.left())));
        header.le16(quint16(clip16(frame_.top())));
        header.le16(quint16(clip16(frame_.left() + frame_.width())));
        header.le16(quint16(clip16(frame_.top() + frame_.height())));
        header.le16(quint32(unitsPerInch_));
        header.le32(0);
        quint16 checksum = 0;
        for (int i = 0; i < 10; ++i)
            checksum ^= quint16(quint8(header.data()[2 * i]) | quint8(header.data()[2 * i + 1]) << 8);
        header.le16(checksum);
        out.bytes(header.data());
    }
    out.le16(1);        // in a file
    out.le16(9);        // header words
    out.le16(0x0300);
    out.le32(quint32(9 + records_.size() / 2));
    out.le16(quint32(tableSize_));
    out.le32(maxRecordWords_);
    out.le16(0);
    out.bytes(records_);
    return out.take();
}

} // namespace orv
