#pragma once

#include "pictures/core/bytereader.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <optional>
#include <variant>

// The graphics objects EMF+ records define in their object table, read into what a QPainter
// needs. Every reader returns nullopt for data that does not fit or makes no sense.
namespace orv::emfplus {

enum class Unit { World, Display, Pixel, Point, Inch, Document, Millimeter };

QColor argb(quint32 value);
QRectF rectF(ByteReader& r);
QTransform matrix(ByteReader& r);
// count points: 32-bit floats, 16-bit integers (Compressed) or 7/15-bit steps from the
// previous point (Relative); empty when they do not fit.
QPolygonF points(ByteReader& r, qint64 count, quint16 flags);
QList<QRectF> rects(ByteReader& r, qint64 count, bool compressed);

struct Gradient
{
    // Where along the brush each colour sits, 0..1 from start to end (linear) or from the
    // boundary to the centre (path).
    QList<QPair<double, QColor>> stops;
};

struct Brush
{
    enum class Kind { Solid, Hatch, Texture, PathGradient, LinearGradient };
    Kind kind = Kind::Solid;
    QColor colour;              // solid; hatch foreground
    QColor back;                // hatch background
    int hatch = 0;
    QImage texture;
    QTransform transform;       // from brush space to world space
    int wrap = 0;               // 0 tile, 1 flip x, 2 flip y, 3 flip both, 4 clamp
    QRectF rect;                // linear gradient: runs across the rectangle's width
    Gradient gradient;          // linear and path gradients
    QPointF centre;             // path gradient
    QPainterPath boundary;      // path gradient: where it paints
};

// The shapes GDI+ puts at line ends.
struct LineCap
{
    enum class Kind { Flat, Square, Round, Triangle, SquareAnchor, RoundAnchor, DiamondAnchor, ArrowAnchor, Custom };
    Kind kind = Kind::Flat;
    // Custom caps, in units of the pen's width: an arrow (width across, height along), or a
    // path drawn with y along the line, pointing away from it.
    bool arrow = false;
    double width = 0;
    double height = 0;
    bool filled = true;
    QPainterPath fill;
    QPainterPath stroke;
    double widthScale = 1;
};

struct Pen
{
    double width = 1;
    Unit unit = Unit::World;
    QTransform transform;
    LineCap start;
    LineCap end;
    int join = 0;               // 0 miter, 1 bevel, 2 round, 3 miter clipped
    double miterLimit = 10;
    int dashStyle = 0;          // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 custom
    int dashCap = 0;
    double dashOffset = 0;
    QList<double> dashes;       // custom dash lengths, in pen widths
    Brush brush;
};

struct Region
{
    bool infinite = false;
    QPainterPath path;          // world units; unused when infinite
};

struct Image
{
    QImage bitmap;              // null for a metafile
    QByteArray metafile;        // WMF (placeable or not) or EMF bytes
    QSizeF size;                // pixels of a bitmap; the metafile's own frame is used for metafiles
};

struct Font
{
    double emSize = 0;
    Unit unit = Unit::World;
    int style = 0;              // 1 bold, 2 italic, 4 underline, 8 strike-out
    QString family;
};

struct StringFormat
{
    enum Flag : quint32 { RightToLeft = 0x1, Vertical = 0x2, NoWrap = 0x1000, NoClip = 0x4000 };
    quint32 flags = 0;
    int alignment = 0;          // 0 near, 1 centre, 2 far
    int lineAlignment = 0;
};

// Image attributes change colours in ways drawings rarely use; they are kept only so that
// records naming them find an object.
struct ImageAttributes
{
};

using GraphicsObject = std::variant<std::monostate, Brush, Pen, QPainterPath, Region, Image, Font, StringFormat, ImageAttributes>;

// One object of the given type, its whole data (continued objects already joined).
std::optional<GraphicsObject> readObject(quint8 type, ByteReader data);

// What reading an image object would decode, read without decoding: its pixels and whether
// they are stored compressed (PNG, JPEG ...); nullopt for a metafile or an unreadable image.
struct BitmapClaim
{
    qint64 pixels = 0;
    bool compressed = false;
};
std::optional<BitmapClaim> imageClaim(ByteReader data);

std::optional<Brush> readBrush(ByteReader& r);
std::optional<QPainterPath> readPath(ByteReader& r);

} // namespace orv::emfplus
