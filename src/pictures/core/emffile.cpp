#include "emffile.h"

#include <QtEndian>

#include <cmath>

namespace orv {

namespace {

constexpr quint32 emfSignature = 0x464D4520u;   // " EMF"

} // namespace

namespace emf {

QPointF pointl(ByteReader& r)
{
    const double x = r.i32();
    const double y = r.i32();
    return QPointF(x, y);
}

QRectF rectl(ByteReader& r)
{
    const double l = r.i32();
    const double t = r.i32();
    const double right = r.i32();
    const double b = r.i32();
    return QRectF(QPointF(l, t), QPointF(right, b));
}

QSizeF sizel(ByteReader& r)
{
    const double w = r.i32();
    const double h = r.i32();
    return QSizeF(w, h);
}

QList<QPointF> readPoints(ByteReader& r, qint64 count, bool small)
{
    QList<QPointF> points;
    points.reserve(count);
    for (qint64 i = 0; i < count; ++i) {
        const double x = small ? r.i16() : r.i32();
        const double y = small ? r.i16() : r.i32();
        points.append(QPointF(x, y));
    }
    return points;
}

std::optional<QList<QRect>> readRegionData(ByteReader r)
{
    r.u32();
    r.u32();
    const quint32 count = r.u32();
    r.skip(20);
    if (!r.ok() || !r.has(qint64(count) * 16))
        return std::nullopt;
    QList<QRect> rects;
    rects.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        const qint64 l = r.i32();
        const qint64 t = r.i32();
        const qint64 right = r.i32();
        const qint64 b = r.i32();
        if (right > l && b > t && right - l < 0x40000000 && b - t < 0x40000000)
            rects.append(QRect(int(l), int(t), int(right - l), int(b - t)));
    }
    return rects;
}

} // namespace emf

using namespace emf;

EmfFile::EmfFile(const QByteArray& data)
    : m_data(data)
{
}

bool EmfFile::looksLike(const QByteArray& head)
{
    return head.size() >= 44 && qFromLittleEndian<quint32>(head.constData()) == EMR_HEADER
        && qFromLittleEndian<quint32>(head.constData() + 40) == emfSignature;
}

bool EmfFile::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool EmfFile::open()
{
    ByteReader r(m_data.constData(), m_data.size());
    const quint32 type = r.u32();
    const quint32 size = r.u32();
    const QRectF bounds = rectl(r);
    const QRectF frame = rectl(r);
    const quint32 signature = r.u32();
    r.skip(12);   // version, bytes, records
    m_handles = r.u16();
    r.u16();
    r.u32();
    const quint32 descriptionOffset = r.u32();
    r.u32();
    const QSizeF devicePixels = sizel(r);
    const QSizeF deviceMm = sizel(r);
    if (!r.ok())
        return fail(QStringLiteral("truncated metafile header"));
    if (type != EMR_HEADER || signature != emfSignature)
        return fail(QStringLiteral("not an enhanced metafile"));
    if (size < 88 || size % 4 || size > quint32(m_data.size()))
        return fail(QStringLiteral("enhanced metafile header has an impossible size"));
    // Micrometres, when the header is long enough to hold them and no description sits there.
    QSizeF deviceUm;
    if (size >= 108 && (descriptionOffset == 0 || descriptionOffset >= 108)) {
        r.seek(100);
        const double w = r.u32();
        const double h = r.u32();
        deviceUm = QSizeF(w, h);
    }
    if (deviceUm.width() > 0 && deviceUm.height() > 0 && devicePixels.width() > 0 && devicePixels.height() > 0)
        m_devicePerMm = QSizeF(devicePixels.width() * 1000 / deviceUm.width(), devicePixels.height() * 1000 / deviceUm.height());
    else if (deviceMm.width() > 0 && deviceMm.height() > 0 && devicePixels.width() > 0 && devicePixels.height() > 0)
        m_devicePerMm = QSizeF(devicePixels.width() / deviceMm.width(), devicePixels.height() / deviceMm.height());
    else
        m_devicePerMm = QSizeF(96 / 25.4, 96 / 25.4);

    if (frame.width() > 0 && frame.height() > 0) {
        m_frameHimetric = frame;
    } else if (bounds.width() >= 0 && bounds.height() >= 0) {
        // Bounds are inclusive device pixels.
        const QRectF b(bounds.left(), bounds.top(), bounds.width() + 1, bounds.height() + 1);
        m_frameHimetric = QRectF(b.left() * 100 / m_devicePerMm.width(), b.top() * 100 / m_devicePerMm.height(),
                                 b.width() * 100 / m_devicePerMm.width(), b.height() * 100 / m_devicePerMm.height());
    }
    if (!(m_frameHimetric.width() > 0) || !(m_frameHimetric.height() > 0))
        return fail(QStringLiteral("enhanced metafile has an empty picture frame"));
    m_deviceFrame = QRectF(m_frameHimetric.left() / 100 * m_devicePerMm.width(), m_frameHimetric.top() / 100 * m_devicePerMm.height(),
                           m_frameHimetric.width() / 100 * m_devicePerMm.width(), m_frameHimetric.height() / 100 * m_devicePerMm.height());
    if (m_handles == 0)
        m_handles = 1;
    return true;
}

QSize EmfFile::himetric() const
{
    return QSize(int(std::lround(m_frameHimetric.width())), int(std::lround(m_frameHimetric.height())));
}

QSizeF EmfFile::pixelSize(double dpiX, double dpiY) const
{
    return QSizeF(m_frameHimetric.width() * dpiX / 2540, m_frameHimetric.height() * dpiY / 2540);
}

bool EmfFile::nextRecord(qint64& pos, EmfRecord& record, QString* why) const
{
    ByteReader head(m_data.constData() + pos, m_data.size() - pos);
    const quint32 type = head.u32();
    const quint32 size = head.u32();
    if (!head.ok()) {
        *why = QStringLiteral("enhanced metafile is truncated at byte %1").arg(pos);
        return false;
    }
    if (size < 8 || size % 4 || qint64(size) > m_data.size() - pos) {
        *why = QStringLiteral("enhanced metafile record at byte %1 has an impossible size").arg(pos);
        return false;
    }
    record = EmfRecord {pos, type, ByteReader(m_data.constData() + pos, size)};
    pos += size;
    return true;
}

} // namespace orv
