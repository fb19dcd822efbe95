#pragma once

#include "gdistate.h"

#include <QRect>
#include <QRegion>
#include <QTransform>

#include <vector>

namespace orv {

// What a GDI device context keeps between drawing calls: the mapping from logical units to the
// picture (mapping modes, window, viewport, world transform), the object table, the selected
// objects and colours, saved states and the clipping region. It draws nothing itself.
class GdiDeviceContext
{
public:
    // deviceToImage places the metafile's device space on the picture, imageRect; deviceUnitsPerInch
    // is the device resolution the fixed mapping modes (MM_LOMETRIC ...) need. The surface drawn
    // on may hold only a part of the picture.
    GdiDeviceContext(const QTransform& deviceToImage, QSizeF deviceUnitsPerInch, QRect imageRect, QRect surface);
    virtual ~GdiDeviceContext() = default;
    GdiDeviceContext(const GdiDeviceContext&) = default;
    GdiDeviceContext& operator=(const GdiDeviceContext&) = default;

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

    // Clipping; device regions are in the metafile's device units.
    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void offsetClip(QPointF logicalOffset);
    void selectClipRegion(const QList<QRect>& device, int mode);
    void selectClipLogicalRegion(const QList<QRect>& logical, int mode);
    void resetClip();

protected:
    // Arcs drawn without the advanced graphics mode keep their direction on the screen when the
    // page mapping turns y up.
    bool compatibleArcsFlipped() const;
    bool advancedGraphics() const { return m_advancedGraphics; }
    QSizeF deviceUnitsPerInch() const { return m_deviceUnitsPerInch; }
    const QRect& imageRect() const { return m_imageRect; }
    // Where regions are worked out pixel by pixel: the surface with a wide margin, within the
    // picture, so a part costs what the part does.
    const QRect& maskRect() const { return m_maskRect; }
    void combineClip(const QRegion& region, int mode);
    // The region a path covers, worked out through a mask within maskRect(). The mask is drawn,
    // then read back pixel by pixel, over a margin several times a part's size: charged first
    // (chargeMask) as kMaskWork times the path's reach on the whole picture, as painting is
    // charged, so every part charges alike; empty once that is refused.
    QRegion maskRegion(const QPainterPath& path) const;
    static constexpr double kMaskWork = 8;
    // False when the work is not to be done: the render's budget is spent. onSurface: what this
    // part's mask really takes.
    virtual bool chargeMask(double /*pixels*/, double /*onSurface*/) const { return true; }

    GdiState m_state;

private:
    QTransform pageTransform() const;
    QRegion imageRegion(const QPolygonF& imagePolygon) const;
    QRegion imageRegion(const QList<QRect>& rects, const QTransform& toImage) const;

    QTransform m_base;
    QSizeF m_deviceUnitsPerInch;
    QRect m_imageRect;
    QRect m_maskRect;
    std::vector<GdiState> m_saved;
    std::vector<GdiObject> m_objects;
    bool m_advancedGraphics = false;
};

} // namespace orv
