#pragma once

#include "gdidevicecontext.h"
#include "gdiraster.h"
#include "renderbudget.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <optional>

namespace orv {

// The device context both metafile players draw through: its state and mapping
// (GdiDeviceContext), with the drawing itself done by a QPainter on the picture. Coordinates
// come in logical units; geometry is mapped to picture pixels before it is painted, so pens,
// hatches and text keep device-pixel sizes as GDI gives them.
//
// Shapes, pens, brushes and paths are in gdicanvas.cpp, text in gditext.cpp, raster operations
// and bitmap transfer in gdiraster.cpp.
class GdiCanvas : public GdiDeviceContext
{
public:
    enum class ArcKind { Arc, ArcTo, Chord, Pie };

    // deviceToImage places the metafile's device space on a picture of the given size. The
    // painter's surface may hold a part of it only, the one whose top-left corner is at
    // surfaceAt: everything is worked out for the whole picture and moved onto the surface last,
    // so a part comes out as the same pixels of the whole. What is painted is charged to budget.
    GdiCanvas(QPainter& painter, const QTransform& deviceToImage, QSizeF deviceUnitsPerInch, QSize picture,
              QPoint surfaceAt, RenderBudget& budget);

    RenderBudget& budget() { return m_budget; }
    using GdiDeviceContext::maskRegion;
    // True when something drawn within this logical rectangle can land on the surface.
    bool reaches(const QRectF& logical) const;

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
    // Each point takes its vertex's colour blended by its distance to the three (Gouraud shading).
    void gradientTriangle(const QPolygonF& triangle, const std::array<QColor, 3>& colours);

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

    // advances: per UTF-16 unit, logical units (y used with ETO_PDY).
    void textOut(QPointF reference, const QString& text, const QList<QPointF>& advances, quint32 options,
                 const std::optional<QRectF>& box);

    // sourceRect is in the source image's pixels, rows counted from the top.
    void stretchBlt(const QRectF& dest, const QImage& source, QRectF sourceRect, quint32 rop);
    void patBlt(const QRectF& dest, quint32 rop);
    // source is premultiplied when it carries alpha; opacity 0..1.
    void alphaBlend(const QRectF& dest, const QImage& source, QRectF sourceRect, double opacity);

    // While suppressed, records change the state, paths and clipping as ever but paint nothing:
    // an EMF's records that only repeat what its EMF+ records drew.
    void setPaintingSuppressed(bool suppressed) { m_suppressed = suppressed; }
    // The painter for another record set drawing on the same picture (EMF+): transformed from
    // picture pixels to the surface (toSurface), no clipping, plain composition. The canvas sets
    // its own up again before it paints. What is painted with it is charged first (a false
    // charge: leave it out) and its paths are counted with rasterised.
    QPainter& foreignPainter();
    const QTransform& toSurface() const { return m_toSurface; }
    QPoint surfaceAt() const { return m_surface.topLeft(); }
    QRect imageBounds() const { return imageRect(); }
    bool chargeForeign(const QPainterPath& picturePath, bool fill, double strokeWidth)
    {
        return charge(picturePath, fill, strokeWidth);
    }
    bool chargeForeign(const QRectF& pictureBounds) { return charge(pictureBounds); }
    void rasterised(const QPainterPath& picturePath);

private:
    void applyClip();
    QPen imagePen(const QPainterPath& path) const;
    QBrush imageBrush(const GdiBrush& brush) const;
    double penWidthImage() const;
    QRectF insideFrame(const QRectF& box) const;
    void shape(const QPainterPath& logical, bool fill, bool stroke);
    void paintPath(const QPainterPath& imagePath, bool fill, bool stroke);
    void fillImagePath(const QPainterPath& imagePath, const QBrush& brush, const RasterOp& raster);
    void addToPath(const QPainterPath& imagePath, bool closed);
    void pathLineTo(QPointF logicalFrom, QPointF logicalTo);
    void usePath(bool fill, bool stroke);
    QPainterPath arcPath(const QRectF& box, QPointF start, QPointF end, ArcKind kind) const;
    void drawImage(const QRectF& dest, const QImage& source, QRectF sourceRect, QPainter::CompositionMode mode,
                   double opacity, bool smooth);
    // Charges painting within these picture-pixel bounds (a stroke of this width along the path
    // when stroke is given); false when the budget is spent and nothing is to be painted.
    bool charge(const QRectF& bounds);
    bool charge(const QPainterPath& path, bool fill, double strokeWidth);
    // The surface and a margin, in picture pixels: what a path is cut to when it reaches far
    // beyond it (gdigeometry.h, farBeyond).
    QRectF reach() const;
    // Draws a path with the painter's pen and brush (fillOnly: fills it with brush), cut to
    // reach first when it goes far beyond (a stroke then as its outline, cut too); the edges
    // handed over are counted.
    void drawWithinReach(const QPainterPath& path, const QBrush& brush, const QPen& pen, bool fillOnly);

    QPainter& m_painter;
    bool chargeMask(double pixels, double onSurface) const override { return m_budget.paint(pixels, onSurface); }

    RenderBudget& m_budget;
    QRect m_surface;          // the painter's device, in picture pixels
    QTransform m_toSurface;   // picture pixels to the painter's device

    bool m_inPath = false;
    QPainterPath m_path;                 // picture pixels
    std::optional<QPointF> m_pathCursor; // where the last figure of m_path ends

    bool m_suppressed = false;
    bool m_clipApplied = false;
    std::optional<QRegion> m_appliedClip;
};

} // namespace orv
