#pragma once

#include "logfont.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QRect>

namespace orv {

// Windows metafiles (WMF) written record by record, the way a drawing program exports them:
// an optional placeable header, the metafile header, the records, then the end record that
// finish() adds before filling in the sizes. Objects take the lowest free slot of the object
// table, as playback assigns them, and the create calls return that slot. Rectangles are given
// as QRect and written GDI's way, right and bottom one past the last unit. Coordinates are
// 16-bit in the format; larger values are cut to that range.
class WmfWriter
{
public:
    // A placeable file: frame in logical units, unitsPerInch of them to the inch.
    WmfWriter(const QRect& frame, int unitsPerInch);
    // A plain file without the placeable header.
    WmfWriter();

    // Any record, its parameters given as raw bytes (padded to whole 16-bit words).
    void record(quint16 function, const QByteArray& params);

    void setWindowOrg(QPoint org);
    void setWindowExt(QSize ext);
    void setViewportOrg(QPoint org);
    void setViewportExt(QSize ext);
    void setMapMode(int mode);
    void setBkMode(int mode);            // 1 transparent, 2 opaque
    void setBkColor(const QColor& colour);
    void setTextColor(const QColor& colour);
    void setTextAlign(int align);
    void setPolyFillMode(int mode);      // 1 alternate, 2 winding
    void setRop2(int rop);
    void saveDC();
    void restoreDC(int which = -1);
    void intersectClipRect(const QRect& r);
    void excludeClipRect(const QRect& r);

    int createPen(int style, int width, const QColor& colour);
    int createBrush(int style, const QColor& colour, int hatch = 0);
    int createFont(const LogFont& font);
    int createPalette(const QList<QRgb>& colours);
    // A brush tiling the picture as a 24-bit DIB.
    int createPatternBrush(const QImage& pattern);
    void selectObject(int index);
    void selectPalette(int index);
    void deleteObject(int index);

    void moveTo(QPoint p);
    void lineTo(QPoint p);
    void rectangle(const QRect& r);
    void roundRect(const QRect& r, QSize corner);
    void ellipse(const QRect& r);
    void arc(const QRect& r, QPoint start, QPoint end);
    void pie(const QRect& r, QPoint start, QPoint end);
    void chord(const QRect& r, QPoint start, QPoint end);
    void polygon(const QPolygon& points);
    void polyline(const QPolygon& points);
    void polyPolygon(const QList<QPolygon>& polygons);
    void setPixel(QPoint p, const QColor& colour);
    void patBlt(const QRect& r, quint32 rop);
    // Text in the font's 8-bit code page.
    void textOut(QPoint p, const QByteArray& text);
    // options: 2 opaque, 4 clipped (both use box); dx, when given, holds one advance a character.
    void extTextOut(QPoint p, const QByteArray& text, int options = 0, const QRect& box = {}, const QList<int>& dx = {});
    // The whole picture as a 24-bit DIB stretched onto dest.
    void stretchDib(const QRect& dest, const QImage& image, quint32 rop = 0x00CC0020);
    // A ready-made packed DIB (header, colour table, pixels); source in its pixels, y from the bottom.
    void stretchDib(const QRect& dest, const QByteArray& dib, const QRect& source, quint32 rop = 0x00CC0020, int usage = 0);

    // The finished file.
    QByteArray finish();

private:
    void words(quint16 function, std::initializer_list<int> params);
    int takeSlot();
    void arcRecord(quint16 function, const QRect& r, QPoint start, QPoint end);

    bool placeable_ = false;
    QRect frame_;
    int unitsPerInch_ = 1440;
    QByteArray records_;
    quint32 maxRecordWords_ = 3;
    QList<bool> slots_;
    int tableSize_ = 0;
};

} // namespace orv
