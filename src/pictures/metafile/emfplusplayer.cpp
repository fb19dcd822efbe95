#include "emfplusplayer.h"

#include "emfplayer.h"
#include "fontmatch.h"
#include "gdicanvas.h"
#include "gdigeometry.h"
#include "wmfplayer.h"
#include "pictures/core/codepages.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <memory>
#include <numbers>

namespace orv {

using namespace emfplus;

namespace {

// Metafiles drawn inside metafiles: a file cannot nest them without end.
constexpr int maxNesting = 3;
thread_local int nesting = 0;

std::unique_ptr<MetafilePlayer> metafilePlayer(const QByteArray& data)
{
    std::unique_ptr<MetafilePlayer> player;
    if (EmfPlayer::looksLike(data))
        player = std::make_unique<EmfPlayer>(data);
    else if (WmfPlayer::looksLike(data))
        player = std::make_unique<WmfPlayer>(data);
    if (player && !player->open({}))
        player.reset();
    return player;
}

// GDI+'s hatch styles as 8 × 8 pixel patterns, a byte a row, the high bit at the left.
constexpr std::array<std::array<quint8, 8>, 53> hatchPatterns {{
    {0xff, 0, 0, 0, 0, 0, 0, 0},                                  // horizontal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},             // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},             // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},             // backward diagonal
    {0xff, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},             // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},             // diagonal cross
    {0x80, 0, 0, 0, 0x08, 0, 0, 0},                               // 5 %
    {0x80, 0, 0x08, 0, 0x80, 0, 0x08, 0},                         // 10 %
    {0x88, 0, 0x22, 0, 0x88, 0, 0x22, 0},                         // 20 %
    {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22},             // 25 %
    {0xaa, 0x44, 0xaa, 0x11, 0xaa, 0x44, 0xaa, 0x11},             // 30 %
    {0xaa, 0x55, 0xaa, 0x11, 0xaa, 0x55, 0xaa, 0x44},             // 40 %
    {0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55},             // 50 %
    {0xee, 0x55, 0xbb, 0x55, 0xee, 0x55, 0xbb, 0x55},             // 60 %
    {0xee, 0x77, 0xbb, 0xdd, 0xee, 0x77, 0xbb, 0xdd},             // 70 %
    {0xee, 0xff, 0xbb, 0xff, 0xee, 0xff, 0xbb, 0xff},             // 75 %
    {0xf7, 0xff, 0x7f, 0xff, 0xf7, 0xff, 0x7f, 0xff},             // 80 %
    {0xff, 0xf7, 0xff, 0xff, 0xff, 0x7f, 0xff, 0xff},             // 90 %
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},             // light downward diagonal
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88},             // light upward diagonal
    {0xcc, 0x66, 0x33, 0x99, 0xcc, 0x66, 0x33, 0x99},             // dark downward diagonal
    {0x33, 0x66, 0xcc, 0x99, 0x33, 0x66, 0xcc, 0x99},             // dark upward diagonal
    {0xc1, 0xe0, 0x70, 0x38, 0x1c, 0x0e, 0x07, 0x83},             // wide downward diagonal
    {0x83, 0x07, 0x0e, 0x1c, 0x38, 0x70, 0xe0, 0xc1},             // wide upward diagonal
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},             // light vertical
    {0xff, 0, 0, 0, 0xff, 0, 0, 0},                               // light horizontal
    {0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa},             // narrow vertical
    {0xff, 0, 0xff, 0, 0xff, 0, 0xff, 0},                         // narrow horizontal
    {0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc, 0xcc},             // dark vertical
    {0xff, 0xff, 0, 0, 0xff, 0xff, 0, 0},                         // dark horizontal
    {0x88, 0x44, 0x22, 0x11, 0, 0, 0, 0},                         // dashed downward diagonal
    {0x11, 0x22, 0x44, 0x88, 0, 0, 0, 0},                         // dashed upward diagonal
    {0xf0, 0, 0, 0, 0x0f, 0, 0, 0},                               // dashed horizontal
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08},             // dashed vertical
    {0x80, 0x10, 0x02, 0x40, 0x04, 0x20, 0x01, 0x08},             // small confetti
    {0xb1, 0x30, 0x03, 0x1b, 0xd8, 0xc0, 0x0c, 0x8d},             // large confetti
    {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18},             // zig zag
    {0, 0x18, 0xa4, 0x03, 0, 0x18, 0xa4, 0x03},                   // wave
    {0x80, 0x40, 0x20, 0x10, 0x18, 0x24, 0x42, 0x81},             // diagonal brick
    {0xff, 0x80, 0x80, 0x80, 0xff, 0x08, 0x08, 0x08},             // horizontal brick
    {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51},             // weave
    {0xaa, 0x55, 0xaa, 0x55, 0xf0, 0xf0, 0xf0, 0xf0},             // plaid
    {0x80, 0x40, 0x80, 0, 0x08, 0x04, 0x08, 0},                   // divot
    {0xaa, 0, 0x80, 0, 0x80, 0, 0x80, 0},                         // dotted grid
    {0x80, 0, 0x22, 0, 0x08, 0, 0x22, 0},                         // dotted diamond
    {0x03, 0x84, 0x48, 0x30, 0x0c, 0x02, 0x01, 0x01},             // shingle
    {0xff, 0x66, 0xff, 0x99, 0xff, 0x66, 0xff, 0x99},             // trellis
    {0x77, 0x89, 0x8f, 0x8f, 0x77, 0x98, 0xf8, 0xf8},             // sphere
    {0xff, 0x88, 0x88, 0x88, 0xff, 0x88, 0x88, 0x88},             // small grid
    {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99},             // small checker board
    {0xf0, 0xf0, 0xf0, 0xf0, 0x0f, 0x0f, 0x0f, 0x0f},             // large checker board
    {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41, 0x80},             // outlined diamond
    {0x10, 0x38, 0x7c, 0xfe, 0x7c, 0x38, 0x10, 0},                // solid diamond
}};

QImage hatchImage(int style, const QColor& fore, const QColor& back)
{
    const auto& rows = hatchPatterns[std::size_t(std::clamp(style, 0, int(hatchPatterns.size()) - 1))];
    QImage image(8, 8, QImage::Format_ARGB32_Premultiplied);
    const QRgb f = fore.rgba();
    const QRgb b = back.rgba();
    for (int y = 0; y < 8; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 8; ++x)
            line[x] = qPremultiply((rows[std::size_t(y)] >> (7 - x)) & 1 ? f : b);
    }
    return image;
}

// A tile of a texture for its wrap mode: mirrored copies beside it for the flipping ones.
QImage wrapTile(const QImage& texture, int wrap)
{
    if (wrap < 1 || wrap > 3)
        return texture;
    const bool flipX = wrap & 1;
    const bool flipY = wrap & 2;
    QImage tile(texture.width() * (flipX ? 2 : 1), texture.height() * (flipY ? 2 : 1), QImage::Format_ARGB32_Premultiplied);
    if (tile.isNull())
        return texture;
    tile.fill(Qt::transparent);
    QPainter p(&tile);
    p.drawImage(0, 0, texture);
    if (flipX)
        p.drawImage(texture.width(), 0, texture.mirrored(true, false));
    if (flipY)
        p.drawImage(0, texture.height(), texture.mirrored(false, true));
    if (flipX && flipY)
        p.drawImage(texture.width(), texture.height(), texture.mirrored(true, true));
    return tile;
}

// A linear gradient runs along its brush's x axis: only flipping across x mirrors it.
QGradient::Spread spread(int wrap)
{
    switch (wrap) {
    case 1: case 3: return QGradient::ReflectSpread;
    case 4: return QGradient::PadSpread;
    default: return QGradient::RepeatSpread;
    }
}

// Points of a cardinal spline as Bézier segments: each segment's controls lie a third of
// the tension along the tangent through its neighbours.
QPainterPath curvePath(const QPolygonF& p, double tension, bool closed, int first = 0, int segments = -1)
{
    QPainterPath path;
    const int n = int(p.size());
    if (n < 2)
        return path;
    const int total = closed ? n : n - 1;
    if (segments < 0)
        segments = total - first;
    if (first < 0 || segments <= 0 || first + segments > total)
        return path;
    auto at = [&](int i) {
        if (closed)
            return p[((i % n) + n) % n];
        return p[std::clamp(i, 0, n - 1)];
    };
    const double t = tension / 3;
    path.moveTo(at(first));
    for (int i = first; i < first + segments; ++i) {
        const QPointF c1 = at(i) + (at(i + 1) - at(i - 1)) * t;
        const QPointF c2 = at(i + 1) - (at(i + 2) - at(i)) * t;
        path.cubicTo(c1, c2, at(i + 1));
    }
    if (closed)
        path.closeSubpath();
    return path;
}

// The arc of an ellipse as GDI+ gives it: degrees clockwise from the x axis on a y-down page.
QPainterPath arcPath(const QRectF& box, double start, double sweep, bool pie)
{
    QPainterPath path;
    const QRectF r = box.normalized();
    if (r.isEmpty() || !std::isfinite(start) || !std::isfinite(sweep))
        return path;
    sweep = std::clamp(sweep, -360.0, 360.0);
    if (pie)
        path.moveTo(r.center());
    else
        path.arcMoveTo(r, -start);
    path.arcTo(r, -start, -sweep);
    if (pie)
        path.closeSubpath();
    return path;
}

// Where an open figure starts and ends, and the directions it leaves them in.
struct FigureEnds
{
    QPointF start;
    QPointF startDirection;   // pointing away from the figure
    QPointF end;
    QPointF endDirection;
    bool valid = false;
};

QList<FigureEnds> openFigures(const QPainterPath& path)
{
    QList<FigureEnds> figures;
    QList<QPointF> points;
    auto finish = [&](bool closed) {
        if (!closed && points.size() >= 2) {
            FigureEnds f;
            f.start = points.first();
            f.end = points.last();
            for (qsizetype i = 1; i < points.size(); ++i) {
                if (points[i] != f.start) {
                    f.startDirection = f.start - points[i];
                    break;
                }
            }
            for (qsizetype i = points.size() - 2; i >= 0; --i) {
                if (points[i] != f.end) {
                    f.endDirection = f.end - points[i];
                    break;
                }
            }
            f.valid = !f.startDirection.isNull() && !f.endDirection.isNull();
            if (f.valid)
                figures.append(f);
        }
        points.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            finish(false);
            points.append(e);
        } else {
            points.append(e);
            // A figure closed by the path ends back where it began.
            if (points.size() > 2 && QPointF(e) == points.first() && i + 1 < path.elementCount()
                && path.elementAt(i + 1).isMoveTo())
                finish(true);
        }
    }
    if (!points.isEmpty())
        finish(points.size() > 2 && points.last() == points.first());
    return figures;
}

QPointF unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(1, 0);
}

} // namespace

// ---------------------------------------------------------------------------------------------

struct EmfPlusPlayer::Playback
{
    EmfPlusPlayer& player;
    const Record& record;
    ByteReader p;

    bool tooShort() { return false; }
    quint8 id() const { return quint8(record.flags & 0xff); }
};

namespace {

using Playback = EmfPlusPlayer::Playback;

} // namespace

EmfPlusPlayer::EmfPlusPlayer(GdiCanvas& canvas)
    : m_canvas(canvas)
{
}

bool EmfPlusPlayer::emfDraws() const
{
    if (!m_seenHeader || m_ended || m_getDC)
        return true;
    return m_dual && !m_lastWhole;
}

// ---------------------------------------------------------------------------------------------
// Transforms

double EmfPlusPlayer::unitToDevice(Unit unit) const
{
    const double dpi = (m_dpi.width() + m_dpi.height()) / 2;
    switch (unit) {
    case Unit::Display: return dpi / 96;
    case Unit::Point: return dpi / 72;
    case Unit::Inch: return dpi;
    case Unit::Document: return dpi / 300;
    case Unit::Millimeter: return dpi / 25.4;
    case Unit::World: case Unit::Pixel: break;
    }
    return 1;
}

QTransform EmfPlusPlayer::pageTransform() const
{
    const double s = m_memory.state.pageScale * unitToDevice(m_memory.state.pageUnit);
    return QTransform::fromScale(s, s);
}

QTransform EmfPlusPlayer::worldToImage() const
{
    return m_memory.state.world * pageTransform() * m_canvas.deviceToImage();
}

double EmfPlusPlayer::inWorldUnits(double value, Unit unit) const
{
    // Sizes in a unit of their own are taken in page units, which the world and page
    // transforms then scale like everything else.
    if (unit == Unit::World)
        return value;
    return value * unitToDevice(unit) / unitToDevice(m_memory.state.pageUnit);
}

// ---------------------------------------------------------------------------------------------
// Objects

template <typename T>
const T* EmfPlusPlayer::object(quint32 id) const
{
    if (id >= m_memory.objects.size())
        return nullptr;
    return std::get_if<T>(&m_memory.objects[id]);
}

std::optional<Brush> EmfPlusPlayer::brushFor(const Record& record, quint32 field) const
{
    if (record.flags & SolidColour) {
        Brush b;
        b.colour = argb(field);
        return b;
    }
    if (const Brush* b = object<Brush>(field))
        return *b;
    return std::nullopt;
}

bool EmfPlusPlayer::storeObject(const Record& record)
{
    const quint8 id = quint8(record.flags & 0xff);
    const quint8 type = quint8((record.flags >> 8) & 0x7f);
    const quint16 idAndType = record.flags & 0x7fff;
    ByteReader data = record.data;
    std::optional<PendingObject>& pending = m_memory.pending;
    if (id >= m_memory.objects.size())
        return false;
    QByteArray whole;
    if (record.flags & ObjectContinues || (pending && pending->idAndType == idAndType)) {
        // A large object comes in parts, each starting with the whole object's size.
        const quint32 total = data.u32();
        if (!data.ok())
            return false;
        if (!pending || pending->idAndType != idAndType || pending->total != total)
            pending = PendingObject {idAndType, total, {}};
        pending->bytes.append(data.at(4, data.size() - 4), data.size() - 4);
        if (pending->bytes.size() < qsizetype(pending->total)) {
            // The last part drops the continuation flag; a part that does not is not the last.
            if (!(record.flags & ObjectContinues)) {
                pending.reset();
                return false;
            }
            return true;
        }
        whole = pending->bytes.left(pending->total);
        pending.reset();
    } else {
        whole = QByteArray(data.at(0, data.size()), data.size());
    }
    // Each comment is played twice (see playComment); its objects are read once.
    const auto key = std::make_pair(record.data.at(0, 0), type);
    std::optional<GraphicsObject> o;
    if (const auto cached = m_readObjects.find(key); cached != m_readObjects.end()) {
        o = cached->second;
    } else {
        const ByteReader bytes(whole.constData(), whole.size());
        const std::optional<BitmapClaim> claim = type == ImageObject ? imageClaim(bytes) : std::nullopt;
        if (!claim || m_canvas.budget().bitmap(claim->pixels, bytes.size(), claim->compressed))
            o = readObject(type, bytes);
        m_readObjects.emplace(key, o);
    }
    m_memory.objects[id] = o ? *o : GraphicsObject();
    return o.has_value();
}

// ---------------------------------------------------------------------------------------------
// Clipping

void EmfPlusPlayer::combineClip(const std::optional<QPainterPath>& shape, int mode)
{
    std::optional<QPainterPath>& clip = m_memory.state.clip;
    // "Everything" is the picture and a pixel around it.
    QPainterPath everything;
    everything.addRect(QRectF(m_canvas.imageBounds()).adjusted(-1, -1, 1, 1));
    const QPainterPath current = clip.value_or(everything);
    const QPainterPath added = shape.value_or(everything);
    switch (mode) {
    case 0: clip = shape; break;
    case 1: clip = shape ? current.intersected(added) : clip; break;
    case 2: clip = clip && shape ? std::optional(current.united(added)) : std::nullopt; break;
    case 3: clip = current.subtracted(added).united(added.subtracted(current)); break;
    case 4: clip = current.subtracted(added); break;
    case 5: clip = added.subtracted(current); break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

QPainter* EmfPlusPlayer::painter()
{
    if (!m_painting)
        return nullptr;
    QPainter& p = m_canvas.foreignPainter();
    const State& s = m_memory.state;
    if (s.clip)
        p.setClipPath(*s.clip);
    p.setRenderHint(QPainter::Antialiasing, s.antialias);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setCompositionMode(s.sourceCopy ? QPainter::CompositionMode_Source : QPainter::CompositionMode_SourceOver);
    return &p;
}

QBrush EmfPlusPlayer::qbrush(const Brush& b, const QTransform& toImage) const
{
    switch (b.kind) {
    case Brush::Kind::Solid:
        return QBrush(b.colour);
    case Brush::Kind::Hatch: {
        // Hatches keep their device pixels and start at the rendering origin.
        QBrush brush(hatchImage(b.hatch, b.colour, b.back));
        const QPointF origin = m_canvas.deviceToImage().map(m_memory.state.renderingOrigin);
        bool invertible = false;
        const QTransform back = toImage.inverted(&invertible);
        if (invertible)
            brush.setTransform(QTransform::fromTranslate(origin.x(), origin.y()) * back);
        return brush;
    }
    case Brush::Kind::Texture: {
        QBrush brush(wrapTile(b.texture, b.wrap));
        brush.setTransform(b.transform);
        return brush;
    }
    case Brush::Kind::LinearGradient: {
        QLinearGradient g(b.rect.left(), b.rect.top(), b.rect.right(), b.rect.top());
        for (const auto& [position, colour] : b.gradient.stops)
            g.setColorAt(position, colour);
        g.setSpread(spread(b.wrap));
        QBrush brush(g);
        brush.setTransform(b.transform);
        return brush;
    }
    case Brush::Kind::PathGradient: {
        // An elliptical gradient from the centre out to the boundary's bounds.
        const QRectF bounds = b.boundary.boundingRect();
        const double rx = std::max(std::abs(b.centre.x() - bounds.left()), std::abs(bounds.right() - b.centre.x()));
        const double ry = std::max(std::abs(b.centre.y() - bounds.top()), std::abs(bounds.bottom() - b.centre.y()));
        if (!(rx > 0) || !(ry > 0))
            return QBrush(b.colour);
        QRadialGradient g(QPointF(0, 0), 1);
        for (const auto& [position, colour] : b.gradient.stops)
            g.setColorAt(1 - position, colour);
        QBrush brush(g);
        brush.setTransform(QTransform::fromScale(rx, ry) * QTransform::fromTranslate(b.centre.x(), b.centre.y()) * b.transform);
        return brush;
    }
    }
    return QBrush(b.colour);
}

QPen EmfPlusPlayer::qpen(const Pen& pen, const QTransform& scaled, double imageScale) const
{
    QPen q(scaledBrush(pen.brush, scaled, imageScale), 1);
    const double width = inWorldUnits(pen.width, pen.unit) * imageScale;
    if (!(width > 0) || !std::isfinite(width)) {
        q.setCosmetic(true);
        q.setWidthF(1);
    } else {
        q.setWidthF(std::min(width, 1e5));
    }
    auto cap = [](LineCap::Kind kind) {
        switch (kind) {
        case LineCap::Kind::Square: return Qt::SquareCap;
        case LineCap::Kind::Round: return Qt::RoundCap;
        default: return Qt::FlatCap;
        }
    };
    q.setCapStyle(cap(pen.start.kind == pen.end.kind ? pen.start.kind : pen.end.kind));
    switch (pen.join) {
    case 1: q.setJoinStyle(Qt::BevelJoin); break;
    case 2: q.setJoinStyle(Qt::RoundJoin); break;
    default: q.setJoinStyle(Qt::MiterJoin); break;
    }
    q.setMiterLimit(std::clamp(pen.miterLimit, 1.0, 1000.0));
    QList<qreal> dashes;
    switch (pen.dashStyle) {
    case 1: dashes = {3, 1}; break;
    case 2: dashes = {1, 1}; break;
    case 3: dashes = {3, 1, 1, 1}; break;
    case 4: dashes = {3, 1, 1, 1, 1, 1}; break;
    case 5:
        for (double d : pen.dashes)
            dashes.append(std::clamp(d, 0.01, 1e4));
        if (dashes.size() % 2)
            dashes.append(dashes);
        break;
    default: break;
    }
    if (!dashes.isEmpty()) {
        q.setDashPattern(dashes);
        q.setDashOffset(pen.dashOffset);
        if (pen.dashCap == 2)
            q.setCapStyle(Qt::RoundCap);
    }
    return q;
}

void EmfPlusPlayer::fill(QPainterPath world, const Brush& brush)
{
    QPainter* p = painter();
    const QTransform m = worldToImage();
    if (!p || !gdi::usable(m) || !gdi::reasonable(m.map(world).controlPointRect()))
        return;
    // A path gradient paints only inside its boundary.
    if (brush.kind == Brush::Kind::PathGradient)
        world = world.intersected(brush.transform.map(brush.boundary));
    const QPainterPath picture = m.map(world);
    if (!m_canvas.chargeForeign(picture, true, 0))
        return;
    m_canvas.rasterised(picture);
    p->setTransform(m * m_canvas.toSurface());
    p->setPen(Qt::NoPen);
    p->setBrush(qbrush(brush, m));
    p->drawPath(world);
}

void EmfPlusPlayer::stroke(QPainterPath world, const Pen& pen)
{
    QPainter* p = painter();
    const QTransform m = worldToImage();
    const double k = std::sqrt(std::abs(m.determinant()));
    if (!p || !gdi::usable(m) || !(k > 0) || !gdi::reasonable(m.map(world).controlPointRect()))
        return;
    // Drawn in world units times k, near picture pixels, so pen widths stay within what a
    // painter takes whatever scale the world has.
    const QTransform scaled = QTransform::fromScale(1 / k, 1 / k) * m;
    const QTransform up = QTransform::fromScale(k, k);
    QPen q = qpen(pen, scaled, k);
    if (q.style() != Qt::SolidLine && q.style() != Qt::NoPen) {
        // Dashes are cut within the render's allowance, as the EMF records' are; past it solid.
        double period = 0;
        for (qreal d : q.dashPattern())
            period += d * std::max(q.widthF(), 1.0);
        const QRectF bounds = up.map(world).controlPointRect();
        if (period <= 0 || !m_canvas.budget().dash((bounds.width() + bounds.height()) * 4 / period))
            q.setStyle(Qt::SolidLine);
    }
    const double width = (q.isCosmetic() ? 1 : q.widthF()) / k;

    // Anchors and custom caps are shapes of their own at the figure's ends; arrows take the
    // line's place up to their base.
    QPainterPath caps;
    QPainterPath capOutlines;
    const QList<FigureEnds> figures = openFigures(world);
    auto place = [&](const LineCap& cap, QPointF at, QPointF outward) {
        const QPointF d = unit(outward);
        const QPointF n(-d.y(), d.x());
        auto point = [&](double across, double along) { return at + n * across + d * along; };
        const double s = width;
        QPainterPath shape;
        switch (cap.kind) {
        case LineCap::Kind::ArrowAnchor:
            shape.moveTo(point(0, s));
            shape.lineTo(point(-1.5 * s, -2 * s));
            shape.lineTo(point(1.5 * s, -2 * s));
            shape.closeSubpath();
            break;
        case LineCap::Kind::RoundAnchor:
            shape.addEllipse(at, 1.5 * s, 1.5 * s);
            break;
        case LineCap::Kind::SquareAnchor:
            shape.addPolygon(QPolygonF({point(-1.5 * s, -1.5 * s), point(1.5 * s, -1.5 * s), point(1.5 * s, 1.5 * s), point(-1.5 * s, 1.5 * s)}));
            shape.closeSubpath();
            break;
        case LineCap::Kind::DiamondAnchor:
            shape.addPolygon(QPolygonF({point(0, 2 * s), point(2 * s, 0), point(0, -2 * s), point(-2 * s, 0)}));
            shape.closeSubpath();
            break;
        case LineCap::Kind::Custom: {
            const double scale = s * (cap.widthScale > 0 ? cap.widthScale : 1);
            if (cap.arrow) {
                shape.moveTo(at);
                shape.lineTo(point(-cap.width * scale / 2, -cap.height * scale));
                shape.lineTo(point(cap.width * scale / 2, -cap.height * scale));
                shape.closeSubpath();
                if (!cap.filled) {
                    capOutlines.addPath(shape);
                    return;
                }
            } else {
                const QTransform local(n.x() * scale, n.y() * scale, d.x() * scale, d.y() * scale, at.x(), at.y());
                shape = local.map(cap.fill);
                capOutlines.addPath(local.map(cap.stroke));
            }
            break;
        }
        default:
            return;
        }
        caps.addPath(shape);
    };
    for (const FigureEnds& f : figures) {
        place(pen.start, f.start, f.startDirection);
        place(pen.end, f.end, f.endDirection);
    }
    // An arrow's tip is its own: an open figure stops at the arrow's base.
    auto arrowLength = [&](const LineCap& cap) {
        if (cap.kind == LineCap::Kind::Custom && cap.arrow)
            return cap.height * width * (cap.widthScale > 0 ? cap.widthScale : 1);
        return cap.kind == LineCap::Kind::ArrowAnchor ? 2 * width : 0.0;
    };
    const double startCut = arrowLength(pen.start);
    const double endCut = arrowLength(pen.end);
    if (!figures.isEmpty() && (startCut > 0 || endCut > 0)) {
        auto pull = [&world](int index, int towards, double length) {
            const QPointF from = world.elementAt(index);
            const QPointF to = world.elementAt(towards);
            if (length > 0 && QLineF(from, to).length() > length) {
                const QPointF moved = from + unit(to - from) * length;
                world.setElementPositionAt(index, moved.x(), moved.y());
            }
        };
        int first = 0;
        for (int i = 1; i <= world.elementCount(); ++i) {
            if (i < world.elementCount() && !world.elementAt(i).isMoveTo())
                continue;
            const int last = i - 1;
            const bool closed = QPointF(world.elementAt(first)) == QPointF(world.elementAt(last));
            if (last > first && !closed) {
                pull(first, first + 1, startCut);
                pull(last, last - 1, endCut);
            }
            first = i;
        }
    }
    const QPainterPath picture = m.map(world);
    if (!m_canvas.chargeForeign(picture, false, q.isCosmetic() ? 1 : q.widthF()))
        return;
    m_canvas.rasterised(picture);
    p->setTransform(scaled * m_canvas.toSurface());
    p->setBrush(Qt::NoBrush);
    p->setPen(q);
    p->drawPath(up.map(world));
    if (!caps.isEmpty()) {
        p->setPen(Qt::NoPen);
        p->setBrush(q.brush());
        p->drawPath(up.map(caps));
    }
    if (!capOutlines.isEmpty()) {
        QPen outline = q;
        outline.setStyle(Qt::SolidLine);
        p->setBrush(Qt::NoBrush);
        p->setPen(outline);
        p->drawPath(up.map(capOutlines));
    }
}

void EmfPlusPlayer::clear(const QColor& colour)
{
    QPainter* p = painter();
    if (!p)
        return;
    if (!m_canvas.chargeForeign(QRectF(m_canvas.imageBounds())))
        return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(m_canvas.imageBounds(), colour);
}

bool EmfPlusPlayer::drawImage(const Image& image, QRectF source, const QTransform& sourceToWorld)
{
    const QTransform m = sourceToWorld * worldToImage();
    if (!gdi::usable(m) || !gdi::reasonable(source))
        return true;
    if (image.bitmap.isNull()) {
        // A metafile plays straight onto the picture, its frame on the source rectangle, so
        // its raster operations meet what lies beneath as they would on a device. Opening a
        // plain WMF walks its records, a record per six bytes at most, each time it is drawn.
        if (WmfFile::sizedByRecords(image.metafile) && !m_canvas.budget().walk(image.metafile.size() / 6))
            return true;
        const std::unique_ptr<MetafilePlayer> player = metafilePlayer(image.metafile);
        if (!player)
            return false;
        const QRectF frame = player->deviceFrame();
        if (!m_painting || nesting >= maxNesting || !(frame.width() > 0) || !(frame.height() > 0))
            return true;
        const QTransform deviceToImage = QTransform::fromTranslate(-frame.x(), -frame.y())
            * QTransform::fromScale(source.width() / frame.width(), source.height() / frame.height())
            * QTransform::fromTranslate(source.x(), source.y()) * m;
        if (!gdi::usable(deviceToImage))
            return true;
        QPainterPath area;
        area.addPolygon(m.map(QPolygonF(source)));
        area.closeSubpath();
        if (m_memory.state.clip)
            area = area.intersected(*m_memory.state.clip);
        QPainter& painter = m_canvas.foreignPainter();
        GdiCanvas nested(painter, deviceToImage, player->deviceUnitsPerInch(), m_canvas.imageBounds().size(),
                         m_canvas.surfaceAt(), m_canvas.budget());
        nested.state().clip = m_canvas.maskRegion(area);
        ++nesting;
        player->play(nested);
        --nesting;
        return true;
    }
    QPainter* p = painter();
    if (!p)
        return true;
    if (!m_canvas.chargeForeign(m.mapRect(source)))
        return true;
    p->setTransform(m * m_canvas.toSurface());
    p->drawImage(source, image.bitmap, source);
    return true;
}

QBrush EmfPlusPlayer::scaledBrush(const Brush& brush, const QTransform& scaled, double imageScale) const
{
    // Drawing in world units times imageScale: a brush laid out in world units follows.
    QBrush b = qbrush(brush, scaled);
    if (brush.kind != Brush::Kind::Solid && brush.kind != Brush::Kind::Hatch)
        b.setTransform(b.transform() * QTransform::fromScale(imageScale, imageScale));
    return b;
}

QFont EmfPlusPlayer::qfont(const Font& font, double worldEm, double imageScale) const
{
    QStringList families;
    const QString installed = installedFamily(font.family);
    if (!installed.isEmpty())
        families.append(installed);
    families.append(QStringLiteral("sans-serif"));
    QFont q;
    q.setFamilies(families);
    q.setStyleHint(QFont::SansSerif);
    q.setPixelSize(std::max(1, int(std::lround(std::min(worldEm * imageScale, 20000.0)))));
    q.setBold(font.style & 1);
    q.setItalic(font.style & 2);
    q.setUnderline(font.style & 4);
    q.setStrikeOut(font.style & 8);
    return q;
}

bool EmfPlusPlayer::drawString(const QString& textIn, const Font& font, const Brush& brush, const StringFormat* format,
                               const QRectF& layout)
{
    const QTransform m = worldToImage();
    const double imageScale = std::sqrt(std::abs(m.determinant()));
    if (!gdi::usable(m) || !(imageScale > 0))
        return true;
    const double worldEm = inWorldUnits(font.emSize, font.unit);
    if (!(worldEm * imageScale >= 0.5) || !std::isfinite(worldEm))
        return true;
    QPainter* p = painter();
    if (!p)
        return true;
    QString text = textIn;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
    const QFont q = qfont(font, worldEm, imageScale);
    // The text is laid out in picture-sized units so its font is hinted at its real size.
    const QTransform scaled = QTransform::fromScale(1 / imageScale, 1 / imageScale) * m;
    QRectF box(layout.x() * imageScale, layout.y() * imageScale, layout.width() * imageScale, layout.height() * imageScale);
    const quint32 flags = format ? format->flags : 0;
    const bool vertical = flags & StringFormat::Vertical;
    const bool rightToLeft = flags & StringFormat::RightToLeft;
    int alignment = format ? format->alignment : 0;
    if (rightToLeft && alignment != 1)
        alignment = 2 - alignment;
    const int lineAlignment = format ? format->lineAlignment : 0;
    int qtFlags = alignment == 1 ? Qt::AlignHCenter : alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
    qtFlags |= lineAlignment == 1 ? Qt::AlignVCenter : lineAlignment == 2 ? Qt::AlignBottom : Qt::AlignTop;
    const bool unbounded = !(box.width() > 0) && !(box.height() > 0);
    if (!(flags & StringFormat::NoWrap) && box.width() > 0)
        qtFlags |= Qt::TextWordWrap;
    // Text placed at a point is charged as if each character took an em square.
    const QRectF cost = unbounded ? QRectF(box.topLeft(), QSizeF(double(q.pixelSize()) * double(text.size()), q.pixelSize())) : box;
    if (!m_canvas.chargeForeign(scaled.mapRect(cost)))
        return true;
    p->setTransform(scaled * m_canvas.toSurface());
    if (vertical) {
        p->translate(box.right(), box.top());
        p->rotate(90);
        box = QRectF(0, 0, box.height(), box.width());
    }
    if (unbounded) {
        // Aligned on the point itself.
        const QRectF needed = QFontMetricsF(q).boundingRect(QRectF(), qtFlags & ~Qt::TextWordWrap, text);
        const double x = alignment == 1 ? box.x() - needed.width() / 2 : alignment == 2 ? box.x() - needed.width() : box.x();
        const double y = lineAlignment == 1 ? box.y() - needed.height() / 2 : lineAlignment == 2 ? box.y() - needed.height() : box.y();
        box = QRectF(x, y, needed.width() + 1, needed.height() + 1);
    } else {
        // GDI+ keeps a sixth of an em free at either end of the line.
        const double margin = q.pixelSize() / 6.0;
        if (box.width() > 2 * margin)
            box.adjust(margin, 0, -margin, 0);
        if (!(box.height() > 0))
            box.setHeight(1e6);
        if (!(box.width() > 0))
            box.setWidth(1e6);
        if (!(flags & StringFormat::NoClip))
            p->setClipRect(box, Qt::IntersectClip);
    }
    p->setFont(q);
    p->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    p->setPen(QPen(scaledBrush(brush, scaled, imageScale), 1));
    p->drawText(box, qtFlags, text);
    p->setLayoutDirection(Qt::LeftToRight);
    return true;
}

bool EmfPlusPlayer::drawGlyphs(const QString& text, const QList<QPointF>& positions, const Font& font, const Brush& brush,
                               const QTransform& glyphTransform)
{
    const QTransform m = glyphTransform * worldToImage();
    const double imageScale = std::sqrt(std::abs(m.determinant()));
    if (!gdi::usable(m) || !(imageScale > 0))
        return true;
    const double worldEm = inWorldUnits(font.emSize, font.unit);
    QPainter* p = painter();
    if (!p || !(worldEm * imageScale >= 0.5) || !std::isfinite(worldEm))
        return true;
    const QFont q = qfont(font, worldEm, imageScale);
    const QTransform scaled = QTransform::fromScale(1 / imageScale, 1 / imageScale) * m;
    QRectF cells;
    const QFontMetricsF metrics(q);
    for (qsizetype i = 0; i < text.size() && i < positions.size(); ++i)
        cells |= QRectF(positions[i] * imageScale - QPointF(0, metrics.ascent()), QSizeF(metrics.maxWidth(), metrics.height()));
    if (!m_canvas.chargeForeign(scaled.mapRect(cells)))
        return true;
    p->setTransform(scaled * m_canvas.toSurface());
    p->setFont(q);
    p->setPen(QPen(scaledBrush(brush, scaled, imageScale), 1));
    for (qsizetype i = 0; i < text.size() && i < positions.size(); ++i)
        p->drawText(positions[i] * imageScale, QString(text[i]));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Records

bool EmfPlusPlayer::playRecord(const Record& record)
{
    Playback r {*this, record, record.data};
    ByteReader& p = r.p;
    State& s = m_memory.state;
    auto pen = [&](quint32 id) { return object<Pen>(id); };
    auto pointsOf = [&](quint32 count) { return points(p, count, record.flags); };

    switch (record.type) {
    case Header: {
        p.u32();   // version
        p.u32();   // video display or printer
        const double x = p.u32();
        const double y = p.u32();
        m_seenHeader = true;
        m_dual = record.flags & 1;
        if (p.ok() && x > 0 && x < 1e5 && y > 0 && y < 1e5)
            m_dpi = QSizeF(x, y);
        return true;
    }
    case EndOfFile:
        m_ended = true;
        return true;
    case GetDC:
        m_getDC = true;
        return true;
    case Comment: case MultiFormatStart: case MultiFormatSection: case MultiFormatEnd: case SetTextRenderingHint:
    case SetTextContrast: case SetInterpolationMode: case SetPixelOffsetMode: case SetCompositingQuality:
    case SerializableObject: case SetTSGraphics: case SetTSClip:
        return true;
    case Object:
        return storeObject(record);

    // State
    case SetRenderingOrigin: {
        const double x = p.i32();
        const double y = p.i32();
        if (p.ok())
            s.renderingOrigin = QPointF(x, y);
        return p.ok();
    }
    case SetAntiAliasMode:
        s.antialias = record.flags & 1;
        return true;
    case SetCompositingMode:
        s.sourceCopy = (record.flags & 0xff) == 1;
        return true;
    case Save: case BeginContainerNoParams: {
        const quint32 index = p.u32();
        if (!p.ok())
            return false;
        if (m_memory.saved.size() < 4096)
            m_memory.saved.push_back({index, s});
        return true;
    }
    case BeginContainer: {
        const QRectF dest = rectF(p);
        const QRectF source = rectF(p);
        const quint32 index = p.u32();
        if (!p.ok())
            return false;
        if (m_memory.saved.size() < 4096)
            m_memory.saved.push_back({index, s});
        if (source.width() != 0 && source.height() != 0) {
            const QTransform t = QTransform::fromTranslate(-source.x(), -source.y())
                * QTransform::fromScale(dest.width() / source.width(), dest.height() / source.height())
                * QTransform::fromTranslate(dest.x(), dest.y());
            if (gdi::usable(t * s.world))
                s.world = t * s.world;
        }
        return true;
    }
    case Restore: case EndContainer: {
        const quint32 index = p.u32();
        if (!p.ok())
            return false;
        for (std::size_t i = m_memory.saved.size(); i-- > 0;) {
            if (m_memory.saved[i].index == index) {
                s = m_memory.saved[i].state;
                m_memory.saved.resize(i);
                break;
            }
        }
        return true;
    }
    case SetWorldTransform: case MultiplyWorldTransform: {
        const QTransform t = matrix(p);
        if (!p.ok())
            return false;
        const QTransform result = record.type == SetWorldTransform ? t : (record.flags & Closed) ? s.world * t : t * s.world;
        if (gdi::usable(result))
            s.world = result;
        return true;
    }
    case ResetWorldTransform:
        s.world = QTransform();
        return true;
    case TranslateWorldTransform: case ScaleWorldTransform: case RotateWorldTransform: {
        const double a = p.f32();
        const double b = record.type == RotateWorldTransform ? 0 : double(p.f32());
        if (!p.ok() || !std::isfinite(a) || !std::isfinite(b))
            return false;
        QTransform t;
        if (record.type == TranslateWorldTransform)
            t.translate(a, b);
        else if (record.type == ScaleWorldTransform)
            t.scale(a, b);
        else
            t.rotate(a);
        const QTransform result = (record.flags & Closed) ? s.world * t : t * s.world;
        if (gdi::usable(result))
            s.world = result;
        return true;
    }
    case SetPageTransform: {
        const double scale = p.f32();
        if (!p.ok())
            return false;
        s.pageUnit = Unit(std::min(record.flags & 0xff, 6));
        if (scale > 0 && scale < 1e6)
            s.pageScale = scale;
        return true;
    }

    // Clipping
    case ResetClip:
        s.clip.reset();
        return true;
    case SetClipRect: {
        const QRectF rect = rectF(p);
        if (!p.ok())
            return false;
        QPainterPath shape;
        shape.addRect(rect.normalized());
        const QTransform m = worldToImage();
        if (gdi::usable(m))
            combineClip(m.map(shape), (record.flags >> 8) & 0xf);
        return true;
    }
    case SetClipPath: case SetClipRegion: {
        std::optional<QPainterPath> shape;
        if (record.type == SetClipPath) {
            const QPainterPath* path = object<QPainterPath>(r.id());
            if (!path)
                return false;
            shape = *path;
        } else {
            const Region* region = object<Region>(r.id());
            if (!region)
                return false;
            if (!region->infinite)
                shape = region->path;
        }
        const QTransform m = worldToImage();
        if (gdi::usable(m))
            combineClip(shape ? std::optional(m.map(*shape)) : std::nullopt, (record.flags >> 8) & 0xf);
        return true;
    }
    case OffsetClip: {
        const double dx = p.f32();
        const double dy = p.f32();
        const QTransform m = worldToImage();
        if (!p.ok() || !std::isfinite(dx) || !std::isfinite(dy))
            return false;
        if (s.clip && gdi::usable(m)) {
            const QPointF d = m.map(QPointF(dx, dy)) - m.map(QPointF(0, 0));
            s.clip->translate(d);
        }
        return true;
    }

    // Filling
    case Clear: {
        const QColor colour = argb(p.u32());
        if (!p.ok())
            return false;
        clear(colour);
        return true;
    }
    case FillRects: {
        const quint32 brushField = p.u32();
        const quint32 count = p.u32();
        const std::optional<Brush> brush = brushFor(record, brushField);
        const QList<QRectF> boxes = rects(p, count, record.flags & Compressed);
        if (!p.ok() || !brush || qsizetype(boxes.size()) != qsizetype(count))
            return false;
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const QRectF& box : boxes)
            path.addRect(box.normalized());
        fill(path, *brush);
        return true;
    }
    case FillPolygon: case FillClosedCurve: {
        const quint32 brushField = p.u32();
        double tension = 0;
        if (record.type == FillClosedCurve)
            tension = p.f32();
        const quint32 count = p.u32();
        const std::optional<Brush> brush = brushFor(record, brushField);
        const QPolygonF polygon = pointsOf(count);
        if (!p.ok() || !brush || qsizetype(polygon.size()) != qsizetype(count) || !std::isfinite(tension))
            return false;
        QPainterPath path;
        if (record.type == FillClosedCurve) {
            path = curvePath(polygon, tension, true);
            path.setFillRule(record.flags & Closed ? Qt::WindingFill : Qt::OddEvenFill);
        } else {
            path.addPolygon(polygon);
            path.closeSubpath();
        }
        fill(path, *brush);
        return true;
    }
    case FillEllipse: case FillPie: {
        const quint32 brushField = p.u32();
        double start = 0;
        double sweep = 360;
        if (record.type == FillPie) {
            start = p.f32();
            sweep = p.f32();
        }
        const QList<QRectF> box = rects(p, 1, record.flags & Compressed);
        const std::optional<Brush> brush = brushFor(record, brushField);
        if (!p.ok() || !brush || box.isEmpty())
            return false;
        QPainterPath path;
        if (record.type == FillEllipse)
            path.addEllipse(box.first().normalized());
        else
            path = arcPath(box.first(), start, sweep, true);
        fill(path, *brush);
        return true;
    }
    case FillPath: {
        const quint32 brushField = p.u32();
        const QPainterPath* path = object<QPainterPath>(r.id());
        const std::optional<Brush> brush = brushFor(record, brushField);
        if (!p.ok() || !path || !brush)
            return false;
        fill(*path, *brush);
        return true;
    }
    case FillRegion: {
        const quint32 brushField = p.u32();
        const Region* region = object<Region>(r.id());
        const std::optional<Brush> brush = brushFor(record, brushField);
        if (!p.ok() || !region || !brush)
            return false;
        if (region->infinite) {
            bool invertible = false;
            const QTransform back = worldToImage().inverted(&invertible);
            QPainterPath everything;
            everything.addRect(QRectF(m_canvas.imageBounds()));
            if (invertible)
                fill(back.map(everything), *brush);
        } else {
            fill(region->path, *brush);
        }
        return true;
    }

    // Lines
    case DrawRects: {
        const quint32 count = p.u32();
        const QList<QRectF> boxes = rects(p, count, record.flags & Compressed);
        const Pen* q = pen(r.id());
        if (!p.ok() || !q || qsizetype(boxes.size()) != qsizetype(count))
            return false;
        QPainterPath path;
        for (const QRectF& box : boxes)
            path.addRect(box.normalized());
        stroke(path, *q);
        return true;
    }
    case DrawLines: case DrawBeziers: {
        const quint32 count = p.u32();
        const QPolygonF polygon = pointsOf(count);
        const Pen* q = pen(r.id());
        if (!p.ok() || !q || qsizetype(polygon.size()) != qsizetype(count))
            return false;
        if (count < 2)
            return true;
        QPainterPath path(polygon.first());
        if (record.type == DrawLines) {
            for (qsizetype i = 1; i < polygon.size(); ++i)
                path.lineTo(polygon[i]);
            if (record.flags & Closed)
                path.closeSubpath();
        } else {
            for (qsizetype i = 1; i + 2 < polygon.size(); i += 3)
                path.cubicTo(polygon[i], polygon[i + 1], polygon[i + 2]);
        }
        stroke(path, *q);
        return true;
    }
    case DrawEllipse: case DrawPie: case DrawArc: {
        double start = 0;
        double sweep = 360;
        if (record.type != DrawEllipse) {
            start = p.f32();
            sweep = p.f32();
        }
        const QList<QRectF> box = rects(p, 1, record.flags & Compressed);
        const Pen* q = pen(r.id());
        if (!p.ok() || !q || box.isEmpty())
            return false;
        QPainterPath path;
        if (record.type == DrawEllipse)
            path.addEllipse(box.first().normalized());
        else
            path = arcPath(box.first(), start, sweep, record.type == DrawPie);
        stroke(path, *q);
        return true;
    }
    case DrawPath: {
        const quint32 penId = p.u32();
        const QPainterPath* path = object<QPainterPath>(r.id());
        const Pen* q = pen(penId);
        if (!p.ok() || !path || !q)
            return false;
        stroke(*path, *q);
        return true;
    }
    case DrawClosedCurve: case DrawCurve: {
        const double tension = p.f32();
        quint32 offset = 0;
        qint64 segments = -1;
        if (record.type == DrawCurve) {
            offset = p.u32();
            segments = p.u32();
        }
        const quint32 count = p.u32();
        const QPolygonF polygon = pointsOf(count);
        const Pen* q = pen(r.id());
        if (!p.ok() || !q || qsizetype(polygon.size()) != qsizetype(count) || !std::isfinite(tension))
            return false;
        if (segments > qint64(count) || offset > count)
            return false;
        stroke(curvePath(polygon, tension, record.type == DrawClosedCurve, int(offset), int(segments)), *q);
        return true;
    }

    // Images
    case DrawImage: case DrawImagePoints: {
        p.u32();   // image attributes
        const qint32 sourceUnit = p.i32();
        QRectF source = rectF(p);
        const Image* image = object<Image>(r.id());
        if (!p.ok() || !image)
            return false;
        // Bitmaps are measured in their pixels; metafiles in the frame they are drawn into.
        if (image->metafile.isEmpty() && sourceUnit != 2) {
            const double toPixels = unitToDevice(Unit(std::clamp(sourceUnit, 0, 6))) * 96 / ((m_dpi.width() + m_dpi.height()) / 2);
            source = QRectF(source.topLeft() * toPixels, source.size() * toPixels);
        }
        if (!(source.width() > 0) || !(source.height() > 0))
            return true;
        QTransform sourceToWorld;
        if (record.type == DrawImage) {
            const QList<QRectF> dest = rects(p, 1, record.flags & Compressed);
            if (dest.isEmpty())
                return false;
            const QRectF d = dest.first();
            sourceToWorld = QTransform::fromTranslate(-source.x(), -source.y())
                * QTransform::fromScale(d.width() / source.width(), d.height() / source.height())
                * QTransform::fromTranslate(d.x(), d.y());
        } else {
            const quint32 count = p.u32();
            const QPolygonF corners = pointsOf(count);
            if (count != 3 || corners.size() != 3)
                return false;
            // Upper left, upper right and lower left of the parallelogram the source fills.
            const QPointF across = (corners[1] - corners[0]) / source.width();
            const QPointF down = (corners[2] - corners[0]) / source.height();
            sourceToWorld = QTransform::fromTranslate(-source.x(), -source.y())
                * QTransform(across.x(), across.y(), down.x(), down.y(), corners[0].x(), corners[0].y());
        }
        return drawImage(*image, source, sourceToWorld);
    }

    // Text
    case DrawString: {
        const quint32 brushField = p.u32();
        const quint32 formatId = p.u32();
        const quint32 length = p.u32();
        const QRectF layout = rectF(p);
        const char* chars = p.at(p.pos(), qint64(length) * 2);
        const Font* font = object<Font>(r.id());
        const std::optional<Brush> brush = brushFor(record, brushField);
        if (!p.ok() || !chars || !font || !brush)
            return false;
        QString text(length, Qt::Uninitialized);
        for (quint32 i = 0; i < length; ++i)
            text[i] = QChar(char16_t(quint8(chars[2 * i]) | (quint8(chars[2 * i + 1]) << 8)));
        return drawString(text, *font, *brush, object<StringFormat>(formatId), layout);
    }
    case DrawDriverString: {
        const quint32 brushField = p.u32();
        const quint32 options = p.u32();
        const quint32 hasMatrix = p.u32();
        const quint32 count = p.u32();
        if (!p.ok() || !p.has(qint64(count) * 10))
            return false;
        QString glyphs(count, Qt::Uninitialized);
        for (quint32 i = 0; i < count; ++i)
            glyphs[i] = QChar(char16_t(p.u16()));
        const QPolygonF positions = points(p, count, 0);
        QTransform glyphTransform;
        if (hasMatrix)
            glyphTransform = matrix(p);
        const Font* font = object<Font>(r.id());
        const std::optional<Brush> brush = brushFor(record, brushField);
        if (!p.ok() || !font || !brush || qsizetype(positions.size()) != qsizetype(count))
            return false;
        // Without the character map flag the values are glyph indices of a font file we lack.
        const QString text = options & 1 ? glyphs : standardOrderGlyphText(glyphs, font->family);
        if (text.isNull())
            return false;
        QList<QPointF> at(positions.begin(), positions.end());
        // With realized advances only the first position is given; the font's own advances follow.
        if ((options & 4) && !at.isEmpty()) {
            const double worldEm = inWorldUnits(font->emSize, font->unit);
            const QFontMetricsF metrics(qfont(*font, worldEm, 64));
            QPointF cursor = at.first();
            for (qsizetype i = 0; i < at.size(); ++i) {
                at[i] = cursor;
                cursor.rx() += metrics.horizontalAdvance(text[i]) / 64;
            }
        }
        return drawGlyphs(text, at, *font, *brush, glyphTransform);
    }
    default:
        return false;
    }
}

bool EmfPlusPlayer::playComment(ByteReader commentData)
{
    if (!holdsRecords(commentData))
        return false;
    bool framed = true;
    const QList<Record> list = records(commentData, &framed);
    // Each record is played twice below.
    if (!m_canvas.budget().walk(2 * list.size()))
        return true;
    m_getDC = false;
    if (!m_seenHeader && (list.isEmpty() || list.first().type != Header))
        return true;
    // First without painting: the EMF records stand in for these unless every one plays.
    const Memory before = m_memory;
    const bool ended = m_ended;
    m_painting = false;
    bool whole = framed;
    for (const Record& record : list)
        whole = playRecord(record) && whole;
    m_memory = before;
    m_ended = ended;
    m_getDC = false;
    m_painting = whole || !m_dual;
    for (const Record& record : list)
        playRecord(record);
    m_painting = false;
    m_lastWhole = whole;
    m_readObjects.clear();
    return true;
}

} // namespace orv
