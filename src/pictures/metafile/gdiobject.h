#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <variant>

namespace orv {

// The drawing objects a metafile creates, selects and deletes by index, kept in the units the
// file gave them so they are mapped at the moment they are used.
struct GdiPen
{
    quint32 style = 0;       // gdi::PenStyle bits: style, end cap, join, geometric
    double width = 0;        // logical units; 0 draws one pixel wide
    bool cosmetic = true;    // always one pixel, whatever the mapping
    QColor colour = Qt::black;
    QList<double> dashes;    // PS_USERSTYLE lengths in logical units
};

struct GdiBrush
{
    enum class Kind { Solid, Null, Hatched, Pattern };
    Kind kind = Kind::Solid;
    QColor colour = Qt::white;
    int hatch = 0;
    QImage pattern;          // device pixels
    bool monochrome = false; // pattern bits take the text and background colours when used
};

struct GdiFont
{
    int height = 0;          // < 0: character height, > 0: cell height, 0: a default size
    int width = 0;
    int escapement = 0;      // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    quint8 charset = 0;
    quint8 pitchAndFamily = 0;
    QString face;
};

struct GdiPalette
{
    QList<QRgb> colours;
};

struct GdiRegion
{
    QList<QRect> rects;      // logical units
};

using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont, GdiPalette, GdiRegion>;

} // namespace orv
