#include "gdicanvas.h"

#include "gdigeometry.h"

#include <QLineF>
#include <QPainterPathStroker>

#include <cmath>

namespace orv {

using namespace gdi;

namespace {

double areaWithin(const QRectF& r, const QRect& picture)
{
    const QRectF cut = r.normalized().intersected(QRectF(picture));
    return cut.isEmpty() ? 0 : cut.width() * cut.height();
}

} // namespace

bool GdiCanvas::reaches(const QRectF& logical) const
{
    const QTransform m = logicalToImage();
    if (!usable(m))
        return false;
    const QRectF r = m.mapRect(logical.normalized());
    // A smoothed edge reaches a pixel or two beyond the rectangle.
    return reasonable(r) && r.adjusted(-2, -2, 2, 2).intersects(QRectF(m_surface));
}

QRectF GdiCanvas::reach() const
{
    constexpr double margin = 256;
    return QRectF(m_surface).adjusted(-margin, -margin, margin, margin);
}

namespace {

double extent(const QPainterPath& path)
{
    const QRectF r = path.controlPointRect();
    return r.width() + r.height();
}

} // namespace

void GdiCanvas::drawWithinReach(const QPainterPath& path, const QBrush& brush, const QPen& pen, bool fillOnly)
{
    // A stroke reaches out by its width (four times, for miters and square caps).
    const double grow = pen.style() == Qt::NoPen ? 0 : 4 * std::max(pen.widthF(), 1.0);
    if (!farBeyond(path, reach().adjusted(grow, grow, -grow, -grow))) {
        m_budget.rasterise(extent(path) + 2 * grow);
        if (fillOnly)
            m_painter.fillPath(path, brush);
        else
            m_painter.drawPath(path);
        return;
    }
    if (brush.style() != Qt::NoBrush) {
        const QPainterPath cut = cutTo(path, reach());
        m_budget.rasterise(extent(cut));
        m_painter.fillPath(cut, brush);
    }
    if (pen.style() != Qt::NoPen) {
        const QPainterPath cut = cutTo(QPainterPathStroker(pen).createStroke(path), reach());
        m_budget.rasterise(extent(cut));
        m_painter.fillPath(cut, pen.brush());
    }
}

void GdiCanvas::rasterised(const QPainterPath& picturePath)
{
    m_budget.rasterise(extent(picturePath));
}

bool GdiCanvas::charge(const QRectF& bounds)
{
    return m_budget.paint(areaWithin(bounds, imageRect()), areaWithin(bounds, m_surface));
}

bool GdiCanvas::charge(const QPainterPath& path, bool fill, double strokeWidth)
{
    const QRectF bounds = path.controlPointRect();
    double cost = fill ? areaWithin(bounds, imageRect()) : 0;
    double onSurface = fill ? areaWithin(bounds, m_surface) : 0;
    if (strokeWidth > 0) {
        // A stroke covers its length times its width, and never more than its grown bounds.
        const double w = std::max(strokeWidth, 1.0);
        double length = 0;
        QPointF last;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            if (!e.isMoveTo())
                length += QLineF(last, QPointF(e)).length();
            last = QPointF(e);
        }
        cost += std::min(length * w, areaWithin(bounds.adjusted(-w, -w, w, w), imageRect()));
        onSurface += std::min(length * w, areaWithin(bounds.adjusted(-w, -w, w, w), m_surface));
    }
    return m_budget.paint(cost, onSurface);
}

} // namespace orv
