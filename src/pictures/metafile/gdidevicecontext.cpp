#include "gdidevicecontext.h"

#include "gdigeometry.h"

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace orv {

using namespace gdi;

namespace {

constexpr std::size_t maxSavedStates = 4096;
// A region moved by OFFSETCLIPRGN keeps what lay this far beyond the surface.
constexpr int maxMaskMargin = 1024;

} // namespace

GdiDeviceContext::GdiDeviceContext(const QTransform& deviceToImage, QSizeF deviceUnitsPerInch, QRect imageRect,
                                   QRect surface)
    : m_base(deviceToImage)
    , m_deviceUnitsPerInch(deviceUnitsPerInch)
    , m_imageRect(imageRect)
    , m_maskRect(surface.adjusted(-maxMaskMargin, -maxMaskMargin, maxMaskMargin, maxMaskMargin).intersected(imageRect))
{
}

// ---------------------------------------------------------------------------------------------
// Colours and objects

QColor GdiDeviceContext::colour(quint32 ref) const
{
    if ((ref >> 24) == 0x01) {
        const quint32 index = ref & 0xffff;
        return index < quint32(m_state.palette.size()) ? QColor(m_state.palette[index]) : QColor(Qt::black);
    }
    return QColor(int(ref & 0xff), int((ref >> 8) & 0xff), int((ref >> 16) & 0xff));
}

void GdiDeviceContext::setObjectTableSize(int size)
{
    m_objects.resize(std::size_t(std::max(size, 0)));
}

int GdiDeviceContext::freeSlot() const
{
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (std::holds_alternative<std::monostate>(m_objects[i]))
            return int(i);
    }
    return -1;
}

void GdiDeviceContext::setObject(int index, GdiObject object)
{
    if (validIndex(index))
        m_objects[std::size_t(index)] = std::move(object);
}

void GdiDeviceContext::selectObject(int index)
{
    if (!validIndex(index))
        return;
    const GdiObject& o = m_objects[std::size_t(index)];
    if (const auto* pen = std::get_if<GdiPen>(&o))
        m_state.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&o))
        m_state.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&o))
        m_state.font = *font;
    else if (const auto* palette = std::get_if<GdiPalette>(&o))
        m_state.palette = palette->colours;
    else if (const auto* region = std::get_if<GdiRegion>(&o))
        selectClipLogicalRegion(region->rects, RGN_COPY);
}

void GdiDeviceContext::selectStockObject(quint32 stock)
{
    auto brush = [this](GdiBrush::Kind kind, QColor c) {
        m_state.brush = GdiBrush();
        m_state.brush.kind = kind;
        m_state.brush.colour = c;
    };
    auto pen = [this](quint32 style, QColor c) {
        m_state.pen = GdiPen();
        m_state.pen.style = style;
        m_state.pen.colour = c;
    };
    switch (stock & ~STOCK_FLAG) {
    case WHITE_BRUSH: case DC_BRUSH: brush(GdiBrush::Kind::Solid, Qt::white); break;
    case LTGRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0xc0, 0xc0, 0xc0)); break;
    case GRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0x80, 0x80, 0x80)); break;
    case DKGRAY_BRUSH: brush(GdiBrush::Kind::Solid, QColor(0x40, 0x40, 0x40)); break;
    case BLACK_BRUSH: brush(GdiBrush::Kind::Solid, Qt::black); break;
    case NULL_BRUSH: brush(GdiBrush::Kind::Null, Qt::white); break;
    case WHITE_PEN: pen(PS_SOLID, Qt::white); break;
    case BLACK_PEN: case DC_PEN: pen(PS_SOLID, Qt::black); break;
    case NULL_PEN: pen(PS_NULL, Qt::black); break;
    case OEM_FIXED_FONT: case ANSI_FIXED_FONT: case SYSTEM_FIXED_FONT:
        m_state.font = GdiFont();
        m_state.font.pitchAndFamily = 0x31;
        break;
    case ANSI_VAR_FONT: case SYSTEM_FONT: case DEVICE_DEFAULT_FONT: case DEFAULT_GUI_FONT:
        m_state.font = GdiFont();
        break;
    case DEFAULT_PALETTE:
        m_state.palette.clear();
        break;
    default:
        break;
    }
}

void GdiDeviceContext::deleteObject(int index)
{
    if (validIndex(index))
        m_objects[std::size_t(index)] = GdiObject();
}

// ---------------------------------------------------------------------------------------------
// Mapping

void GdiDeviceContext::setMapMode(int mode)
{
    if (mode >= MM_TEXT && mode <= MM_ANISOTROPIC)
        m_state.mapMode = mode;
}

void GdiDeviceContext::setWindowExt(QSizeF ext)
{
    if (ext.width() != 0 && ext.height() != 0)
        m_state.windowExt = ext;
}

void GdiDeviceContext::setViewportExt(QSizeF ext)
{
    if (ext.width() != 0 && ext.height() != 0)
        m_state.viewportExt = ext;
}

void GdiDeviceContext::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xNum != 0 && xDenom != 0 && yNum != 0 && yDenom != 0)
        setWindowExt(QSizeF(m_state.windowExt.width() * xNum / xDenom, m_state.windowExt.height() * yNum / yDenom));
}

void GdiDeviceContext::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xNum != 0 && xDenom != 0 && yNum != 0 && yDenom != 0)
        setViewportExt(QSizeF(m_state.viewportExt.width() * xNum / xDenom, m_state.viewportExt.height() * yNum / yDenom));
}

void GdiDeviceContext::modifyWorldTransform(const QTransform& xform, int mode)
{
    QTransform result;
    switch (mode) {
    case 1: break;
    case 2: result = xform * m_state.world; break;
    case 3: result = m_state.world * xform; break;
    case 4: result = xform; break;
    default: return;
    }
    if (!usable(result))
        return;
    m_state.world = result;
    m_advancedGraphics = true;
}

QTransform GdiDeviceContext::pageTransform() const
{
    const GdiState& s = m_state;
    double sx = 1;
    double sy = 1;
    auto fixed = [&](double unitsPerInch) {
        sx = m_deviceUnitsPerInch.width() / unitsPerInch;
        sy = -m_deviceUnitsPerInch.height() / unitsPerInch;
    };
    switch (s.mapMode) {
    case MM_LOMETRIC: fixed(254); break;
    case MM_HIMETRIC: fixed(2540); break;
    case MM_LOENGLISH: fixed(100); break;
    case MM_HIENGLISH: fixed(1000); break;
    case MM_TWIPS: fixed(1440); break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        sx = s.viewportExt.width() / s.windowExt.width();
        sy = s.viewportExt.height() / s.windowExt.height();
        if (s.mapMode == MM_ISOTROPIC) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default:
        break;
    }
    return QTransform(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx, s.viewportOrg.y() - s.windowOrg.y() * sy);
}

QTransform GdiDeviceContext::logicalToImage() const
{
    return m_state.world * pageTransform() * m_base;
}

bool GdiDeviceContext::compatibleArcsFlipped() const
{
    return !m_advancedGraphics && pageTransform().determinant() < 0;
}

void GdiDeviceContext::saveDC()
{
    if (m_saved.size() < maxSavedStates)
        m_saved.push_back(m_state);
}

void GdiDeviceContext::restoreDC(int which)
{
    const qint64 count = qint64(m_saved.size());
    const qint64 target = which < 0 ? count + which : qint64(which) - 1;
    if (which == 0 || target < 0 || target >= count)
        return;
    m_state = m_saved[std::size_t(target)];
    m_saved.resize(std::size_t(target));
}

// ---------------------------------------------------------------------------------------------
// Clipping

QRegion GdiDeviceContext::imageRegion(const QPolygonF& polygon) const
{
    const QRectF bounds = polygon.boundingRect();
    if (!reasonable(bounds))
        return {};
    // Axis-aligned rectangles, by far the common case, round to whole pixels directly.
    const bool axisAligned = polygon.size() == 4
        && ((polygon[0].x() == polygon[3].x() && polygon[1].x() == polygon[2].x() && polygon[0].y() == polygon[1].y()
             && polygon[2].y() == polygon[3].y())
            || (polygon[0].y() == polygon[3].y() && polygon[1].y() == polygon[2].y()
                && polygon[0].x() == polygon[1].x() && polygon[2].x() == polygon[3].x()));
    if (axisAligned) {
        const QRect r(QPoint(toInt(bounds.left()), toInt(bounds.top())), QPoint(toInt(bounds.right()) - 1, toInt(bounds.bottom()) - 1));
        return QRegion(r.intersected(m_imageRect.adjusted(-1, -1, 1, 1)));
    }
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return maskRegion(path);
}

QRegion GdiDeviceContext::maskRegion(const QPainterPath& path) const
{
    const QRectF reach = path.boundingRect().intersected(QRectF(m_imageRect));
    const double pixels = kMaskWork * reach.width() * reach.height();
    const QRectF mask = reach.intersected(QRectF(m_maskRect));
    if (!chargeMask(std::isfinite(pixels) ? pixels : double(m_imageRect.width()) * m_imageRect.height(),
                    mask.width() * mask.height()))
        return {};
    return regionFromPath(path, m_maskRect);
}

void GdiDeviceContext::combineClip(const QRegion& region, int mode)
{
    const QRegion current = m_state.clip.value_or(QRegion(m_imageRect));
    switch (mode) {
    case RGN_AND: m_state.clip = current.intersected(region); break;
    case RGN_OR: m_state.clip = current.united(region); break;
    case RGN_XOR: m_state.clip = current.xored(region); break;
    case RGN_DIFF: m_state.clip = current.subtracted(region); break;
    case RGN_COPY: m_state.clip = region; break;
    default: break;
    }
}

void GdiDeviceContext::intersectClipRect(const QRectF& box)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(m.map(QPolygonF(box.normalized()))), RGN_AND);
}

void GdiDeviceContext::excludeClipRect(const QRectF& box)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(m.map(QPolygonF(box.normalized()))), RGN_DIFF);
}

void GdiDeviceContext::offsetClip(QPointF offset)
{
    const QTransform m = logicalToImage();
    if (!m_state.clip || !usable(m))
        return;
    const QPointF d = m.map(offset) - m.map(QPointF(0, 0));
    if (reasonable(QRectF(d, QSizeF(0, 0))))
        m_state.clip = m_state.clip->translated(toInt(d.x()), toInt(d.y()));
}

QRegion GdiDeviceContext::imageRegion(const QList<QRect>& rects, const QTransform& toImage) const
{
    // A few axis-aligned rectangles round exactly; anything else is drawn once into a mask.
    if (toImage.m12() == 0 && toImage.m21() == 0 && rects.size() <= 64) {
        QRegion region;
        for (const QRect& r : rects)
            region += imageRegion(toImage.map(QPolygonF(QRectF(r))));
        return region;
    }
    return maskRegion(toImage.map(rectsPath(rects)));
}

void GdiDeviceContext::selectClipRegion(const QList<QRect>& device, int mode)
{
    combineClip(imageRegion(device, m_base), mode);
}

void GdiDeviceContext::selectClipLogicalRegion(const QList<QRect>& logical, int mode)
{
    const QTransform m = logicalToImage();
    if (usable(m))
        combineClip(imageRegion(logical, m), mode);
}

void GdiDeviceContext::resetClip()
{
    m_state.clip.reset();
}

} // namespace orv
