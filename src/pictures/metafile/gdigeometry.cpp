#include "gdigeometry.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace orv::gdi {

bool usable(const QTransform& t)
{
    const double v[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double x : v) {
        if (!std::isfinite(x) || std::abs(x) > maxCoordinate)
            return false;
    }
    return std::abs(t.determinant()) > 1e-18;
}

bool reasonable(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.right()) && std::isfinite(r.bottom())
        && std::abs(r.left()) < maxCoordinate && std::abs(r.right()) < maxCoordinate
        && std::abs(r.top()) < maxCoordinate && std::abs(r.bottom()) < maxCoordinate;
}

int toInt(double v)
{
    if (!(v > -maxCoordinate))
        return int(-maxCoordinate);
    if (!(v < maxCoordinate))
        return int(maxCoordinate);
    return int(std::lround(v));
}

QPainterPath rectsPath(const QList<QRect>& rects)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRect& r : rects)
        path.addRect(QRectF(r));
    return path;
}

bool farBeyond(const QPainterPath& path, const QRectF& reach)
{
    constexpr double slack = 4096;
    // Compared by hand: QRectF::contains() holds no line, whose rectangle is empty.
    const QRectF r = path.controlPointRect();
    return r.left() < reach.left() - slack || r.right() > reach.right() + slack || r.top() < reach.top() - slack
        || r.bottom() > reach.bottom() + slack;
}

QPainterPath cutTo(const QPainterPath& path, const QRectF& reach)
{
    QPainterPath box;
    box.addRect(reach);
    QPainterPath cut = path.intersected(box);
    cut.setFillRule(path.fillRule());
    return cut;
}

QRegion regionFromPath(const QPainterPath& pathIn, const QRect& bounds)
{
    const QRect area = pathIn.boundingRect().toAlignedRect().intersected(bounds);
    if (area.isEmpty())
        return {};
    const QPainterPath path = farBeyond(pathIn, QRectF(area)) ? cutTo(pathIn, QRectF(area).adjusted(-2, -2, 2, 2)) : pathIn;
    QImage mask(area.size(), QImage::Format_Grayscale8);
    if (mask.isNull())
        return {};
    mask.fill(0);
    {
        QPainter p(&mask);
        p.translate(-area.topLeft());
        p.fillPath(path, Qt::white);
    }
    // Rows with the same runs as the row above extend its band instead of starting a new one.
    QList<QRect> rects;
    QList<QPair<int, int>> previous;
    qsizetype bandStart = 0;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* line = mask.constScanLine(y);
        QList<QPair<int, int>> runs;
        for (int x = 0; x < mask.width();) {
            if (line[x] < 128) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && line[x] >= 128)
                ++x;
            runs.append({start, x - start});
        }
        if (!runs.isEmpty() && runs == previous) {
            for (qsizetype i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(rects[i].bottom() + 1);
            continue;
        }
        bandStart = rects.size();
        for (const auto& run : runs)
            rects.append(QRect(area.left() + run.first, area.top() + y, run.second, 1));
        previous = runs;
    }
    QRegion region;
    if (!rects.isEmpty())
        region.setRects(rects.constData(), int(rects.size()));
    return region;
}

} // namespace orv::gdi
