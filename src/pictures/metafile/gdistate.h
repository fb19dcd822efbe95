#pragma once

#include "pictures/core/gdiconstants.h"
#include "gdiobject.h"

#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>

#include <optional>

namespace orv {

// Everything a device context saves with SaveDC and brings back with RestoreDC. Selected
// objects are held by value, so deleting a table entry never leaves a dangling selection.
struct GdiState
{
    int mapMode = gdi::MM_TEXT;
    QPointF windowOrg;
    QSizeF windowExt {1, 1};
    QPointF viewportOrg;
    QSizeF viewportExt {1, 1};
    QTransform world;

    GdiPen pen;
    GdiBrush brush;
    GdiFont font;
    QList<QRgb> palette;

    QColor textColour = Qt::black;
    QColor bkColour = Qt::white;
    bool opaqueBackground = true;
    quint32 textAlign = 0;
    int textCharExtra = 0;
    bool windingFill = false;
    int rop2 = gdi::R2_COPYPEN;
    int stretchMode = 0;
    bool clockwiseArcs = false;
    double miterLimit = 10;

    QPointF position;                  // logical units
    QPointF brushOrigin;               // device units: where hatches and patterns start
    std::optional<QRegion> clip;       // image pixels; none means the whole picture
};

} // namespace orv
