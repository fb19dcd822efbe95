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

namespace {

// countBytes: how wide the object count before the region's size is.
std::optional<QList<QRect>> readRegionWith(ByteReader p, int countBytes)
{
    p.skip(4 + countBytes + 2);       // next in chain, object type, object count, region size
    const qint16 scanCount = p.i16();
    p.skip(2);                        // max scan
    const int left = p.i16();
    const int top = p.i16();
    const int right = p.i16();
    const int bottom = p.i16();
    if (!p.ok())
        return std::nullopt;
    QList<QRect> rects;
    if (scanCount <= 0) {
        const QRect box = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).normalized();
        if (!box.isEmpty())
            rects.append(box);
        return rects;
    }
    for (int s = 0; s < scanCount; ++s) {
        const quint16 count = p.u16();
        const int scanTop = p.i16();
        const int scanBottom = p.i16();
        if (!p.ok() || !p.has(qint64(count / 2) * 4 + 2))
            return std::nullopt;
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

} // namespace

std::optional<QList<QRect>> readRegion(ByteReader p)
{
    // The documented object count takes four bytes, but Windows writes two; the region's size,
    // which counts the whole object, tells the layouts apart.
    ByteReader probe = p.range(6, 2);
    const bool twoByteCount = probe.ok() && probe.u16() == p.size();
    return readRegionWith(p, twoByteCount ? 2 : 4);
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

bool WmfFile::sizedByRecords(const QByteArray& head)
{
    return looksLike(head) && !(head.size() >= 4 && qFromLittleEndian<quint32>(head.constData()) == placeableKey);
}

bool WmfFile::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool WmfFile::open(std::stop_token stop)
{
    if (!readHeaders())
        return false;
    if (!m_placeable) {
        if (!scanForFrame(stop))
            return fail(QStringLiteral("sizing the metafile was cancelled"));
        if (m_frame.isEmpty())
            return fail(QStringLiteral("metafile gives no picture size"));
    }
    return true;
}

bool WmfFile::open(const Framing& known)
{
    if (!readHeaders())
        return false;
    if (!m_placeable) {
        if (known.frame.isEmpty())
            return fail(QStringLiteral("metafile gives no picture size"));
        m_frame = known.frame;
        m_unitsPerInch = known.unitsPerInch;
        m_framedByWindow = known.framedByWindow;
        m_windowOrg = known.windowOrg;
        m_windowExt = known.windowExt;
    }
    return true;
}

bool WmfFile::readHeaders()
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
        // GDI+ stores the placeable header padded to 24 bytes in the metafiles it embeds.
        ByteReader padded = r.range(placeableSize, 4);
        if (padded.u16() == 0 && padded.u16() != 0 && r.range(placeableSize + 2, 4).u32() == 0x00090001u)
            header = placeableSize + 2;
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

namespace {

// Units per inch of the fixed mapping modes; 0 for the others.
double fixedModeUnits(int mode)
{
    switch (mode) {
    case 2: return 254;     // MM_LOMETRIC
    case 3: return 2540;    // MM_HIMETRIC
    case 4: return 100;     // MM_LOENGLISH
    case 5: return 1000;    // MM_HIENGLISH
    case 6: return 1440;    // MM_TWIPS
    default: return 0;
    }
}

// What a plain file draws, in its device units, as far as a frame needs it: where its shapes,
// bitmaps and text reach. Text is estimated from its font's height and its length, since no
// glyph is measured here.
class DrawingBounds
{
public:
    explicit DrawingBounds(quint16 objectCount) : m_slots(objectCount) {}

    void play(const WmfRecord& rec);
    int mapMode() const { return m_mapMode; }
    std::optional<QRectF> bounds() const { return m_bounds; }

private:
    QPointF device(QPointF logical) const
    {
        const double flip = fixedModeUnits(m_mapMode) > 0 ? -1 : 1;
        return QPointF(logical.x() - m_windowOrg.x() + m_viewportOrg.x(), flip * (logical.y() - m_windowOrg.y()) + m_viewportOrg.y());
    }
    void include(QRectF logical)
    {
        QRectF r = QRectF(device(logical.topLeft()), device(logical.bottomRight())).normalized();
        if (!std::isfinite(r.left()) || !std::isfinite(r.top()) || !std::isfinite(r.right()) || !std::isfinite(r.bottom()))
            return;
        // QRectF::united() skips empty rectangles, and a lone point is one.
        if (m_bounds)
            r = QRectF(QPointF(std::min(m_bounds->left(), r.left()), std::min(m_bounds->top(), r.top())),
                       QPointF(std::max(m_bounds->right(), r.right()), std::max(m_bounds->bottom(), r.bottom())));
        m_bounds = r;
    }
    void includePoints(const QList<QPointF>& points)
    {
        for (const QPointF& pt : points)
            include(QRectF(pt, QSizeF(0, 0)));
    }
    // Objects take the lowest free slot, as playing them does.
    void created(std::optional<double> fontHeight)
    {
        const Slot slot {true, fontHeight.has_value(), fontHeight.value_or(0)};
        auto free = std::ranges::find(m_slots, false, &Slot::used);
        if (free != m_slots.end())
            *free = slot;
        else if (m_slots.size() < 0xffff)
            m_slots.append(slot);
    }
    void text(QPointF at, double advance, qsizetype characters);

    struct Slot
    {
        bool used = false;
        bool font = false;
        double height = 0;
    };
    QList<Slot> m_slots;
    double m_fontHeight = 0;
    int m_mapMode = 1;
    quint16 m_textAlign = 0;
    QPointF m_windowOrg;
    QPointF m_viewportOrg;
    std::optional<QRectF> m_bounds;
};

void DrawingBounds::text(QPointF at, double advance, qsizetype characters)
{
    // A zero height is the device's default font, about 16 pixels high.
    const double em = m_fontHeight != 0 ? std::abs(m_fontHeight) : 16;
    const double width = advance > 0 ? advance : 0.55 * em * double(characters);
    const double flip = fixedModeUnits(m_mapMode) > 0 ? -1 : 1;
    double left = at.x();
    if ((m_textAlign & 6) == 6)
        left -= width / 2;
    else if (m_textAlign & 2)
        left -= width;
    double top = at.y();
    if ((m_textAlign & 24) == 24)
        top -= flip * 0.8 * em;
    else if (m_textAlign & 8)
        top -= flip * em;
    include(QRectF(QPointF(left, top), QPointF(left + width, top + flip * em)));
}

void DrawingBounds::play(const WmfRecord& rec)
{
    ByteReader p = rec.params;
    switch (rec.function) {
    case META_SETMAPMODE: {
        const quint16 mode = p.u16();
        if (p.ok() && mode >= 1 && mode <= 8)
            m_mapMode = mode;
        break;
    }
    case META_SETWINDOWORG: {
        const QPointF org = reversedPoint(p);
        if (p.ok())
            m_windowOrg = org;
        break;
    }
    case META_SETVIEWPORTORG: {
        const QPointF org = reversedPoint(p);
        if (p.ok())
            m_viewportOrg = org;
        break;
    }
    case META_SETTEXTALIGN:
        m_textAlign = p.u16();
        break;
    case META_CREATEFONTINDIRECT: {
        const qint16 height = p.i16();
        created(p.ok() ? height : 0);
        break;
    }
    case META_CREATEPENINDIRECT: case META_CREATEBRUSHINDIRECT: case META_CREATEPALETTE: case META_CREATEREGION:
    case META_DIBCREATEPATTERNBRUSH: case META_CREATEPATTERNBRUSH:
        created(std::nullopt);
        break;
    case META_SELECTOBJECT: {
        const quint16 index = p.u16();
        if (p.ok() && index < m_slots.size() && m_slots[index].font)
            m_fontHeight = m_slots[index].height;
        break;
    }
    case META_DELETEOBJECT: {
        const quint16 index = p.u16();
        if (p.ok() && index < m_slots.size())
            m_slots[index] = Slot();
        break;
    }
    case META_MOVETO: case META_LINETO: case META_SETPIXEL: {
        if (rec.function == META_SETPIXEL)
            p.skip(4);
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
        includePoints(readPoints(p, n));
        break;
    }
    case META_POLYPOLYGON: {
        const quint16 n = p.u16();
        qint64 total = 0;
        for (int i = 0; i < n && p.ok(); ++i)
            total += p.u16();
        if (p.ok())
            includePoints(readPoints(p, total));
        break;
    }
    case META_TEXTOUT: {
        const qint16 n = p.i16();
        if (n <= 0 || !p.has(qint64(n + (n & 1)) + 4))
            break;
        p.skip(n + (n & 1));
        text(reversedPoint(p), 0, n);
        break;
    }
    case META_EXTTEXTOUT: {
        const QPointF at = reversedPoint(p);
        const qint16 n = p.i16();
        const quint16 options = p.u16();
        if (options & 6)
            include(reversedRect(p));
        if (!p.ok() || n <= 0 || !p.has(n))
            break;
        p.skip(std::min<qint64>(n + (n & 1), p.remaining()));
        double advance = 0;
        if (p.has(qint64(n) * 2)) {
            for (int i = 0; i < n; ++i)
                advance += p.i16();
        }
        text(at, std::abs(advance), n);
        break;
    }
    case META_PATBLT: {
        p.skip(4);
        const double h = p.i16();
        const double w = p.i16();
        const QPointF at = reversedPoint(p);
        if (p.ok())
            include(QRectF(at, QSizeF(w, h)));
        break;
    }
    case META_BITBLT: case META_DIBBITBLT: case META_STRETCHBLT: case META_DIBSTRETCHBLT: case META_STRETCHDIB:
    case META_SETDIBTODEV: {
        // Each ends its fixed fields with the destination's height, width, y and x.
        const bool noBitmap = rec.words == quint32(rec.function >> 8) + 3;
        qint64 fields = 0;
        switch (rec.function) {
        case META_BITBLT: case META_DIBBITBLT: fields = noBitmap ? 18 : 16; break;
        case META_STRETCHBLT: case META_DIBSTRETCHBLT: fields = noBitmap ? 22 : 20; break;
        case META_STRETCHDIB: fields = 22; break;
        default: fields = 18; break;
        }
        ByteReader f = p.range(0, fields);
        f.seek(fields - 8);
        const double h = f.i16();
        const double w = f.i16();
        const QPointF at = reversedPoint(f);
        if (f.ok())
            include(QRectF(at, QSizeF(w, h)));
        break;
    }
    default:
        break;
    }
}

} // namespace

bool WmfFile::scanForFrame(std::stop_token stop)
{
    qint64 pos = m_recordsStart;
    WmfRecord rec;
    bool haveOrg = false;
    bool haveExt = false;
    DrawingBounds drawing(m_objectCount);
    // Framing problems found here are reported when the records are played.
    QString ignored;
    quint32 walked = 0;
    while (pos < m_data.size() && nextRecord(pos, rec, &ignored) && rec.function != META_EOF) {
        if (++walked % 4096 == 0 && stop.stop_requested())
            return false;
        ByteReader p = rec.params;
        if (rec.function == META_SETWINDOWORG && !haveOrg) {
            m_windowOrg = reversedPoint(p);
            haveOrg = p.ok();
        } else if (rec.function == META_SETWINDOWEXT && !haveExt) {
            const QPointF ext = reversedPoint(p);
            m_windowExt = QSizeF(ext.x(), ext.y());
            haveExt = p.ok() && ext.x() != 0 && ext.y() != 0;
        }
        drawing.play(rec);
    }
    const double fixedUnits = fixedModeUnits(drawing.mapMode());
    m_unitsPerInch = fixedUnits > 0 ? fixedUnits : 96;
    if (haveExt && fixedUnits == 0) {
        m_framedByWindow = true;
        if (!haveOrg)
            m_windowOrg = QPointF();
        m_frame = QRectF(m_windowOrg, m_windowExt).normalized();
    } else if (const std::optional<QRectF> bounds = drawing.bounds(); bounds && !bounds->isEmpty()) {
        m_frame = *bounds;
    }
    return true;
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
