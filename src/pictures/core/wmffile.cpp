#include "wmffile.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace orv {

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7u;
constexpr qint64 placeableSize = 22;
constexpr qint64 headerSize = 18;

} // namespace

namespace wmf {

QRectF reversedRect(ByteReader& p)
{
    const double bottom = p.i16();
    const double right = p.i16();
    const double top = p.i16();
    const double left = p.i16();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF reversedPoint(ByteReader& p)
{
    const double y = p.i16();
    const double x = p.i16();
    return QPointF(x, y);
}

QList<QPointF> readPoints(ByteReader& p, qint64 count)
{
    QList<QPointF> points;
    if (count <= 0 || !p.has(count * 4))
        return points;
    points.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const double x = p.i16();
        const double y = p.i16();
        points.append(QPointF(x, y));
    }
    return points;
}

QList<QRect> readRegion(ByteReader p)
{
    p.skip(10);                       // next in chain, object type, object count, region size
    const qint16 scanCount = p.i16();
    p.skip(2);                        // max scan
    const int left = p.i16();
    const int top = p.i16();
    const int right = p.i16();
    const int bottom = p.i16();
    QList<QRect> rects;
    if (!p.ok())
        return rects;
    if (scanCount <= 0) {
        const QRect box = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).normalized();
        if (!box.isEmpty())
            rects.append(box);
        return rects;
    }
    for (int s = 0; s < scanCount && p.ok(); ++s) {
        const quint16 count = p.u16();
        const int scanTop = p.i16();
        const int scanBottom = p.i16();
        if (!p.has(qint64(count / 2) * 4 + 2))
            break;
        for (int i = 0; i < count / 2; ++i) {
            const int l = p.i16();
            const int r = p.i16();
            if (r > l && scanBottom > scanTop)
                rects.append(QRect(l, scanTop, r - l, scanBottom - scanTop));
        }
        p.u16();
    }
    return rects;
}

} // namespace wmf

using namespace wmf;

WmfFile::WmfFile(const QByteArray& data)
    : m_data(data)
{
}

bool WmfFile::looksLike(const QByteArray& head)
{
    if (head.size() >= 4 && qFromLittleEndian<quint32>(head.constData()) == placeableKey)
        return true;
    if (head.size() < 6)
        return false;
    const quint16 type = qFromLittleEndian<quint16>(head.constData());
    const quint16 size = qFromLittleEndian<quint16>(head.constData() + 2);
    const quint16 version = qFromLittleEndian<quint16>(head.constData() + 4);
    return (type == 1 || type == 2) && size == 9 && (version == 0x0100 || version == 0x0300);
}

bool WmfFile::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool WmfFile::open()
{
    ByteReader r(m_data.constData(), m_data.size());
    qint64 header = 0;
    if (r.u32() == placeableKey) {
        m_placeable = true;
        r.skip(2);
        const double left = r.i16();
        const double top = r.i16();
        const double right = r.i16();
        const double bottom = r.i16();
        const quint16 inch = r.u16();
        if (!r.ok())
            return fail(QStringLiteral("truncated metafile header"));
        if (inch == 0)
            return fail(QStringLiteral("metafile header gives no units per inch"));
        m_frame = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        if (m_frame.isEmpty())
            return fail(QStringLiteral("metafile has an empty picture frame"));
        m_unitsPerInch = inch;
        header = placeableSize;
    }
    r.seek(header);
    const quint16 type = r.u16();
    const quint16 words = r.u16();
    const quint16 version = r.u16();
    r.u32();
    m_objectCount = r.u16();
    if (!r.ok() || !r.has(6))
        return fail(QStringLiteral("truncated metafile header"));
    if ((type != 1 && type != 2) || words != 9 || (version != 0x0100 && version != 0x0300))
        return fail(QStringLiteral("not a Windows metafile"));
    m_recordsStart = header + headerSize;
    if (!m_placeable) {
        m_unitsPerInch = 1440;
        scanForFrame();
        if (m_frame.isEmpty())
            return fail(QStringLiteral("metafile gives no picture size"));
    }
    return true;
}

bool WmfFile::nextRecord(qint64& pos, WmfRecord& record, QString* why) const
{
    ByteReader r(m_data.constData(), m_data.size());
    r.seek(pos);
    record.offset = pos;
    record.words = r.u32();
    record.function = r.u16();
    if (!r.ok()) {
        *why = QStringLiteral("metafile is truncated at byte %1").arg(pos);
        return false;
    }
    const qint64 bytes = qint64(record.words) * 2;
    if (record.words < 3 || bytes > m_data.size() - pos) {
        *why = QStringLiteral("metafile record at byte %1 has an impossible size").arg(pos);
        return false;
    }
    record.params = r.range(pos + 6, bytes - 6);
    pos += bytes;
    return true;
}

void WmfFile::scanForFrame()
{
    qint64 pos = m_recordsStart;
    WmfRecord rec;
    bool haveOrg = false;
    bool haveExt = false;
    // QRectF::united() skips empty rectangles, and a lone point is one.
    std::optional<QRectF> bounds;
    auto include = [&bounds](QRectF r) {
        r = r.normalized();
        if (!bounds)
            bounds = r;
        else
            bounds = QRectF(QPointF(std::min(bounds->left(), r.left()), std::min(bounds->top(), r.top())),
                            QPointF(std::max(bounds->right(), r.right()), std::max(bounds->bottom(), r.bottom())));
    };
    // Framing problems found here are reported when the records are played.
    QString ignored;
    while (pos < m_data.size() && nextRecord(pos, rec, &ignored) && rec.function != META_EOF) {
        ByteReader p = rec.params;
        switch (rec.function) {
        case META_SETWINDOWORG:
            if (!haveOrg) {
                m_windowOrg = reversedPoint(p);
                haveOrg = p.ok();
            }
            break;
        case META_SETWINDOWEXT:
            if (!haveExt) {
                const QPointF ext = reversedPoint(p);
                m_windowExt = QSizeF(ext.x(), ext.y());
                haveExt = p.ok() && ext.x() != 0 && ext.y() != 0;
            }
            break;
        case META_MOVETO:
        case META_LINETO: {
            const QPointF pt = reversedPoint(p);
            if (p.ok())
                include(QRectF(pt, QSizeF(0, 0)));
            break;
        }
        case META_RECTANGLE: case META_ELLIPSE: case META_ROUNDRECT: case META_ARC: case META_PIE: case META_CHORD: {
            p.seek(p.size() - 8);
            const QRectF box = reversedRect(p);
            if (p.ok())
                include(box);
            break;
        }
        case META_POLYGON: case META_POLYLINE: {
            const qint16 n = p.i16();
            const QList<QPointF> points = readPoints(p, n);
            if (points.isEmpty())
                break;
            QPointF low = points.first();
            QPointF high = low;
            for (const QPointF& pt : points) {
                low = QPointF(std::min(low.x(), pt.x()), std::min(low.y(), pt.y()));
                high = QPointF(std::max(high.x(), pt.x()), std::max(high.y(), pt.y()));
            }
            include(QRectF(low, high));
            break;
        }
        default:
            break;
        }
    }
    if (haveExt) {
        m_frame = QRectF(m_windowOrg, m_windowExt).normalized();
    } else if (bounds && !bounds->isEmpty()) {
        m_frame = *bounds;
        m_windowOrg = bounds->topLeft();
        m_windowExt = bounds->size();
        m_unitsPerInch = 96;
    }
}

QSize WmfFile::himetric() const
{
    return QSize(int(std::lround(m_frame.width() * 2540 / m_unitsPerInch)),
                 int(std::lround(m_frame.height() * 2540 / m_unitsPerInch)));
}

QSizeF WmfFile::pixelSize(double dpiX, double dpiY) const
{
    return QSizeF(m_frame.width() * dpiX / m_unitsPerInch, m_frame.height() * dpiY / m_unitsPerInch);
}

} // namespace orv
