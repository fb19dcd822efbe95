#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>

namespace orv {

// EMF+ records as GDI+ writes them into an enhanced metafile's comment records: collect the
// records of one comment, then take() them for EmfWriter::gdiComment. Objects are defined in
// the table slot the caller names (0..63); points and rectangles are written as 32-bit floats.
class EmfPlusWriter
{
public:
    // A brush: an ARGB colour written into the record, or an object of the table.
    struct Fill
    {
        bool isColour = true;
        QColor colour;
        int object = 0;
    };
    static Fill colour(const QColor& c) { return {true, c, 0}; }
    static Fill object(int id) { return {false, {}, id}; }

    enum Unit { World = 0, Display, Pixel, Point, Inch, Document, Millimeter };

    // dual: the EMF records that follow repeat the drawing.
    void header(bool dual, int dpi = 96);
    void endOfFile();
    void getDC();

    void setPageTransform(Unit unit, double scale);
    void setWorldTransform(const QTransform& t);
    void multiplyWorldTransform(const QTransform& t, bool append);
    void save(quint32 index);
    void restore(quint32 index);
    void resetClip();
    // mode: 0 replace, 1 intersect, 2 union, 3 xor, 4 exclude, 5 complement
    void setClipRect(const QRectF& r, int mode);
    void setClipPath(int pathId, int mode);

    void solidBrush(int id, const QColor& c);
    void hatchBrush(int id, int style, const QColor& fore, const QColor& back);
    // Runs from the rectangle's left edge to its right.
    void linearGradientBrush(int id, const QRectF& rect, const QColor& start, const QColor& end);
    void pathGradientBrush(int id, const QPolygonF& boundary, const QPointF& centre, const QColor& centreColour,
                           const QColor& edgeColour);
    // dashStyle: 0 solid, 1 dash, 2 dot ...; cap: 0 flat, 2 round, 0x14 arrow anchor.
    void pen(int id, double width, const QColor& c, int dashStyle = 0, int startCap = 0, int endCap = 0);
    void path(int id, const QPainterPath& path);
    void font(int id, double emSize, Unit unit, const QString& family, int style = 0);
    // alignment and line alignment: 0 near, 1 centre, 2 far.
    void stringFormat(int id, int alignment, int lineAlignment, quint32 flags = 0);
    // 32-bit ARGB pixels.
    void bitmap(int id, const QImage& image);
    // A whole metafile (EMF or WMF bytes) as an image.
    void metafile(int id, const QByteArray& data);

    void clear(const QColor& c);
    void fillRects(Fill brush, const QList<QRectF>& rects);
    void drawRects(int penId, const QList<QRectF>& rects);
    void fillEllipse(Fill brush, const QRectF& r);
    void fillPie(Fill brush, const QRectF& r, double startAngle, double sweepAngle);
    void fillPolygon(Fill brush, const QPolygonF& points);
    void drawLines(int penId, const QPolygonF& points, bool closed = false);
    void drawBeziers(int penId, const QPolygonF& points);
    void fillPath(Fill brush, int pathId);
    void drawPath(int penId, int pathId);
    void drawString(int fontId, Fill brush, int formatId, const QString& text, const QRectF& layout);
    void drawImage(int imageId, const QRectF& source, const QRectF& dest);

    // The records collected so far, behind the EMF+ identifier; the collection starts anew.
    QByteArray take();

private:
    void add(quint16 type, quint16 flags, const QByteArray& data);
    void object(int id, int type, const QByteArray& data);
    static quint32 argb(const QColor& c);
    static quint32 brushField(const Fill& f);
    static quint16 brushFlags(const Fill& f);

    QByteArray m_records;
};

} // namespace orv
