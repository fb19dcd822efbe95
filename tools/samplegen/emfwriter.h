#pragma once

#include "logfont.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QRect>
#include <QTransform>

namespace orv {

// Enhanced metafiles (EMF) written record by record, as GDI records them: the header with its
// frame, reference device and a description, the records, then the end record that finish()
// adds before filling in the counts. Handles are numbered from 1 and reused once deleted.
// Rectangles are given as QRect and written with right and bottom one past the last unit.
// Record bounds are left empty; readers take the picture from the header's frame.
class EmfWriter
{
public:
    // frame in hundredths of a millimetre; the reference device in pixels and micrometres
    // (the default is a 96 dpi screen of 1920 × 1080 pixels).
    explicit EmfWriter(const QRect& frameHimetric, QSize devicePixels = {1920, 1080},
                       QSize deviceMicrometres = {508000, 285750}, const QString& description = {});

    // Any record, its parameters after the type and size given as raw bytes (padded to 4).
    void record(quint32 type, const QByteArray& params);

    void setMapMode(int mode);
    void setWindowExt(QSize ext);
    void setWindowOrg(QPoint org);
    void setViewportExt(QSize ext);
    void setViewportOrg(QPoint org);
    void setWorldTransform(const QTransform& t);
    // mode: 1 identity, 2 left multiply, 3 right multiply
    void modifyWorldTransform(const QTransform& t, int mode);
    void saveDC();
    void restoreDC(int which = -1);
    void setBkMode(int mode);
    void setBkColor(const QColor& colour);
    void setTextColor(const QColor& colour);
    void setTextAlign(int align);
    void setPolyFillMode(int mode);
    void intersectClipRect(const QRect& r);
    void excludeClipRect(const QRect& r);
    void gdiComment(const QByteArray& data);

    quint32 createPen(int style, int width, const QColor& colour);
    // A geometric pen: style carries PS_GEOMETRIC, the end cap and join.
    quint32 extCreatePen(quint32 style, int width, const QColor& colour);
    quint32 createBrush(int style, const QColor& colour, int hatch = 0);
    quint32 createFont(const LogFont& font);
    // A brush tiling the picture as a 24-bit DIB.
    quint32 createPatternBrush(const QImage& pattern);
    quint32 createPalette(const QList<QRgb>& colours);
    void selectPalette(quint32 handle);
    void selectObject(quint32 handle);
    void deleteObject(quint32 handle);

    void moveTo(QPoint p);
    void lineTo(QPoint p);
    void rectangle(const QRect& r);
    void roundRect(const QRect& r, QSize corner);
    void ellipse(const QRect& r);
    void arc(const QRect& r, QPoint start, QPoint end);
    void pie(const QRect& r, QPoint start, QPoint end);
    void chord(const QRect& r, QPoint start, QPoint end);
    void polygon(const QPolygon& points);          // 32-bit points
    void polyline(const QPolygon& points);
    void polygon16(const QPolygon& points);
    void polyline16(const QPolygon& points);
    void polyBezier16(const QPolygon& points);
    void polyBezierTo16(const QPolygon& points);
    void polylineTo16(const QPolygon& points);
    void polyPolygon16(const QList<QPolygon>& polygons);

    void beginPath();
    void endPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();

    // options: 2 opaque, 4 clipped (both use box); dx, when given, holds one advance a character.
    void extTextOut(QPoint p, const QString& text, int options = 0, const QRect& box = {}, const QList<int>& dx = {});
    // The whole picture as a 24-bit DIB stretched onto dest.
    void stretchDIBits(const QRect& dest, const QImage& image, quint32 rop = 0x00CC0020);
    // A ready-made DIB: header with colour table, and pixels; source in its pixels, y from the bottom.
    // usage 1 makes the colour table indices into the selected palette.
    void stretchDIBits(const QRect& dest, const QByteArray& info, const QByteArray& bits, const QRect& source,
                       quint32 rop = 0x00CC0020, int usage = 0);

    // The finished file.
    QByteArray finish();

private:
    quint32 takeHandle();
    void poly(quint32 type, const QPolygon& points, bool small);
    void boxRecord(quint32 type, const QRect& r, const QByteArray& extra = {});

    QRect frame_;
    QSize devicePixels_;
    QSize deviceMicrometres_;
    QString description_;
    QByteArray records_;
    quint32 recordCount_ = 0;
    QList<bool> handles_ {true};   // handle 0 is the metafile itself
};

} // namespace orv
