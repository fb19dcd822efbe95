#include "gdicanvas.h"

#include "gdigeometry.h"

#include <cmath>

namespace orv {

using namespace gdi;

// ---------------------------------------------------------------------------------------------
// Raster operations

RasterOp rasterOp(int table)
{
    using M = QPainter::CompositionMode;
    RasterOp r;
    switch (table & 0xf) {
    case 0x0: r.colour = QColor(Qt::black); break;
    case 0x1: r.mode = M::RasterOp_NotSourceAndNotDestination; break;
    case 0x2: r.mode = M::RasterOp_NotSourceAndDestination; break;
    case 0x3: r.mode = M::RasterOp_NotSource; break;
    case 0x4: r.mode = M::RasterOp_SourceAndNotDestination; break;
    case 0x5: r.mode = M::RasterOp_NotDestination; break;
    case 0x6: r.mode = M::RasterOp_SourceXorDestination; break;
    case 0x7: r.mode = M::RasterOp_NotSourceOrNotDestination; break;
    case 0x8: r.mode = M::RasterOp_SourceAndDestination; break;
    case 0x9: r.mode = M::RasterOp_NotSourceXorDestination; break;
    case 0xa: r.draw = false; break;
    case 0xb: r.mode = M::RasterOp_NotSourceOrDestination; break;
    case 0xc: break;
    case 0xd: r.mode = M::RasterOp_SourceOrNotDestination; break;
    case 0xe: r.mode = M::RasterOp_SourceOrDestination; break;
    case 0xf: r.colour = QColor(Qt::white); break;
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// Bitmap transfer

void GdiCanvas::drawImage(const QRectF& destIn, const QImage& source, QRectF src, QPainter::CompositionMode mode,
                          double opacity, bool smooth)
{
    const QTransform m = logicalToImage();
    if (m_suppressed || m_inPath || source.isNull() || !usable(m) || !reasonable(destIn) || !reasonable(src))
        return;
    QRectF dest = destIn;
    bool flipX = (dest.width() < 0) != (src.width() < 0);
    bool flipY = (dest.height() < 0) != (src.height() < 0);
    dest = dest.normalized();
    src = src.normalized();
    if (dest.isEmpty() || src.isEmpty())
        return;
    QImage image = source;
    if (flipX || flipY) {
        image = source.mirrored(flipX, flipY);
        if (flipX)
            src.moveLeft(image.width() - src.right());
        if (flipY)
            src.moveTop(image.height() - src.bottom());
    }
    // Only the part of the source rectangle that lies on the bitmap is drawn, where it belongs.
    const QRectF onImage = src.intersected(QRectF(image.rect()));
    if (onImage.isEmpty())
        return;
    const double fx = dest.width() / src.width();
    const double fy = dest.height() / src.height();
    dest = QRectF(dest.x() + (onImage.x() - src.x()) * fx, dest.y() + (onImage.y() - src.y()) * fy,
                  onImage.width() * fx, onImage.height() * fy);
    if (!charge(m.mapRect(dest)))
        return;
    applyClip();
    m_painter.save();
    m_painter.setTransform(m * m_toSurface);
    m_painter.setCompositionMode(mode);
    m_painter.setOpacity(opacity);
    m_painter.setRenderHint(QPainter::Antialiasing, mode == QPainter::CompositionMode_SourceOver);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    m_painter.drawImage(dest, image, onImage);
    m_painter.restore();
}

void GdiCanvas::stretchBlt(const QRectF& dest, const QImage& source, QRectF sourceRect, quint32 rop)
{
    const int index = int((rop >> 16) & 0xff);
    const bool usesSource = ((index >> 2) & 0x33) != (index & 0x33);
    const bool usesPattern = (index >> 4) != (index & 0x0f);
    if (!usesSource) {
        patBlt(dest, rop);
        return;
    }
    if (source.isNull())
        return;
    const bool halftone = m_state.stretchMode == 4;
    if (!usesPattern) {
        const RasterOp raster = rasterOp(index & 0x0f);
        if (!raster.draw)
            return;
        if (raster.colour) {
            patBlt(dest, raster.colour == QColor(Qt::black) ? 0x00000042u : 0x00FF0062u);
            return;
        }
        const bool copy = raster.mode == QPainter::CompositionMode_SourceOver;
        drawImage(dest, copy ? source : source.convertToFormat(QImage::Format_RGB32), sourceRect, raster.mode, 1.0,
                  copy && (halftone || m_state.stretchMode == 0));
        return;
    }
    // Source and brush together: the masking operations drawing programs use.
    const QRgb brush = m_state.brush.colour.rgb();
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb s = line[x];
            switch (index) {
            case 0xC0:   // MERGECOPY: source AND brush
                line[x] = qRgb(qRed(s) & qRed(brush), qGreen(s) & qGreen(brush), qBlue(s) & qBlue(brush));
                break;
            case 0xE2:   // brush where the source is white, destination elsewhere
                line[x] = (s & 0xffffff) == 0xffffff ? (brush | 0xff000000u) : 0;
                break;
            case 0xB8:   // brush where the source is black, destination elsewhere
                line[x] = (s & 0xffffff) == 0 ? (brush | 0xff000000u) : 0;
                break;
            default:
                break;
            }
        }
    }
    drawImage(dest, image, sourceRect, QPainter::CompositionMode_SourceOver, 1.0, false);
}

void GdiCanvas::patBlt(const QRectF& dest, quint32 rop)
{
    const int index = int((rop >> 16) & 0xff);
    const RasterOp raster = rasterOp((index & 0x3) | (((index >> 4) & 0x3) << 2));
    const QTransform m = logicalToImage();
    if (!raster.draw || m_inPath || !usable(m))
        return;
    QPainterPath path;
    path.addRect(dest.normalized());
    QBrush brush = imageBrush(m_state.brush);
    if (brush.style() == Qt::NoBrush) {
        // A null brush paints nothing; operations that ignore the brush still need one.
        if ((index >> 4) != (index & 0x0f))
            return;
        brush = QBrush(Qt::black);
    }
    fillImagePath(m.map(path), brush, raster);
}

void GdiCanvas::alphaBlend(const QRectF& dest, const QImage& source, QRectF sourceRect, double opacity)
{
    drawImage(dest, source, sourceRect, QPainter::CompositionMode_SourceOver, std::clamp(opacity, 0.0, 1.0), true);
}

} // namespace orv
