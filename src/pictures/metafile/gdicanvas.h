#pragma once

#include "gdistate.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <optional>
#include <vector>

namespace orv {

// The device context both metafile players draw through: GDI's mapping modes, object table,
// saved states, paths and clipping, with the drawing itself done by a QPainter on the picture.
// Coordinates come in logical units and are mapped here; geometry is mapped to picture pixels
// before it is painted, so pens, hatches and text keep device-pixel sizes as GDI gives them.
class GdiCanvas
{
public:
    enum class ArcKind { Arc, ArcTo, Chord, Pie };

    // deviceToImage places the metafile's device space on the picture; deviceUnitsPerInch is the
    // device resolution the fixed mapping modes (MM_LOMETRIC ...) need.
    GdiCanvas(QPainter& painter, const QTransform& deviceToImage, QSizeF deviceUnitsPerInch);

    GdiState& state() { return m_state; }
    const GdiState& state() const { return m_state; }
    QColor colour(quint32 colorref) const;

    // Object table: callers check indices with validIndex() before using them.
    // Resizing keeps the objects that still fit.
    void setObjectTableSize(int size);
    int objectTableSize() const { return int(m_objects.size()); }
    bool validIndex(qint64 index) const { return index >= 0 && index < qint64(m_objects.size()); }
    int freeSlot() const;
    void setObject(int index, GdiObject object);
    const GdiObject& object(int index) const { return m_objects[std::size_t(index)]; }
    void selectObject(int index);
    void selectStockObject(quint32 stock);
    void deleteObject(int index);

    // Mapping
    void setMapMode(int mode);
    void setWindowOrg(QPointF org) { m_state.windowOrg = org; }
    void setWindowExt(QSizeF ext);
    void setViewportOrg(QPointF org) { m_state.viewportOrg = org; }
    void setViewportExt(QSizeF ext);
    void offsetWindowOrg(QPointF d) { m_state.windowOrg += d; }
    void offsetViewportOrg(QPointF d) { m_state.viewportOrg += d; }
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    // modes: 1 identity, 2 left multiply, 3 right multiply, 4 set
    void modifyWorldTransform(const QTransform& xform, int mode);
    QTransform logicalToImage() const;
    const QTransform& deviceToImage() const { return m_base; }

    void saveDC();
    void restoreDC(int which);

    // Drawing, in logical units
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    // types: PT_MOVETO 6, PT_LINETO 2, PT_BEZIERTO 4, PT_CLOSEFIGURE flag 1
    void polyDraw(const QPolygonF& points, const QByteArray& types);
    void polygon(const QPolygonF& points);
    void polyPolygon(const QList<QPolygonF>& polygons);
    void polyPolyline(const QList<QPolygonF>& lines);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(const QRectF& box, QPointF start, QPointF end, ArcKind kind);
    void angleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF p, const QColor& colour);
    // Regions come as the rectangles that make them up.
    void fillRegion(const QList<QRect>& logical, const GdiBrush& brush);
    void frameRegion(const QList<QRect>& logical, const GdiBrush& brush, QSizeF logicalSize);
    void invertRegion(const QList<QRect>& logical);
    void gradientRect(const QRectF& box, const QColor& from, const QColor& to, bool vertical);
    void gradientTriangle(const QPolygonF& triangle, const QColor& average);

    // Paths
    void beginPath();
    void endPath() { m_inPath = false; }
    void abortPath();
    void closeFigure();
    void fillPath() { usePath(true, false); }
    void strokePath() { usePath(false, true); }
    void strokeAndFillPath() { usePath(true, true); }
    void flattenPath();
    void widenPath();
    void selectClipPath(int mode);

    // Clipping; device regions are in the metafile's device units.
    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void offsetClip(QPointF logicalOffset);
    void selectClipRegion(const QList<QRect>& device, int mode);
    void selectClipLogicalRegion(const QList<QRect>& logical, int mode);
    void resetClip();

    // advances: per UTF-16 unit, logical units (y used with ETO_PDY).
    void textOut(QPointF reference, const QString& text, const QList<QPointF>& advances, quint32 options,
                 const std::optional<QRectF>& box);

    // sourceRect is in the source image's pixels, rows counted from the top.
    void stretchBlt(const QRectF& dest, const QImage& source, QRectF sourceRect, quint32 rop);
    void patBlt(const QRectF& dest, quint32 rop);
    // source is premultiplied when it carries alpha; opacity 0..1.
    void alphaBlend(const QRectF& dest, const QImage& source, QRectF sourceRect, double opacity);

private:
    struct Raster
    {
        bool draw = true;
        QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
        std::optional<QColor> colour;   // black or white from the operation itself
    };
    static Raster rasterOp(int truthTable);

    QTransform pageTransform() const;
    bool compatibleArcsFlipped() const;
    void applyClip();
    void combineClip(const QRegion& region, int mode);
    QRegion imageRegion(const QPolygonF& imagePolygon) const;
    QRegion imageRegion(const QList<QRect>& rects, const QTransform& toImage) const;
    static QPainterPath rectsPath(const QList<QRect>& rects);
    QPen imagePen(const QPainterPath& path) const;
    QBrush imageBrush(const GdiBrush& brush) const;
    double penWidthImage() const;
    QRectF insideFrame(const QRectF& box) const;
    void shape(const QPainterPath& logical, bool fill, bool stroke);
    void paintPath(const QPainterPath& imagePath, bool fill, bool stroke);
    void fillImagePath(const QPainterPath& imagePath, const QBrush& brush, const Raster& raster);
    void addToPath(const QPainterPath& imagePath, bool closed);
    void pathLineTo(QPointF logicalFrom, QPointF logicalTo);
    void usePath(bool fill, bool stroke);
    QPainterPath arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind) const;
    QFont makeFont(double emPixels) const;
    void drawImage(const QRectF& dest, const QImage& source, QRectF sourceRect, QPainter::CompositionMode mode,
                   double opacity, bool smooth);

    QPainter& m_painter;
    QTransform m_base;
    QSizeF m_deviceUnitsPerInch;
    QRect m_imageRect;
    GdiState m_state;
    std::vector<GdiState> m_saved;
    std::vector<GdiObject> m_objects;
    bool m_advancedGraphics = false;

    bool m_inPath = false;
    QPainterPath m_path;                 // picture pixels
    std::optional<QPointF> m_pathCursor; // where the last figure of m_path ends

    bool m_clipApplied = false;
    std::optional<QRegion> m_appliedClip;
};

} // namespace orv
