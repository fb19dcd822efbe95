#pragma once

#include "bytereader.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <optional>

namespace orv {

namespace emf {

enum Type : quint32 {
    EMR_HEADER = 1, EMR_POLYBEZIER, EMR_POLYGON, EMR_POLYLINE, EMR_POLYBEZIERTO, EMR_POLYLINETO, EMR_POLYPOLYLINE,
    EMR_POLYPOLYGON, EMR_SETWINDOWEXTEX, EMR_SETWINDOWORGEX, EMR_SETVIEWPORTEXTEX, EMR_SETVIEWPORTORGEX,
    EMR_SETBRUSHORGEX, EMR_EOF, EMR_SETPIXELV, EMR_SETMAPPERFLAGS, EMR_SETMAPMODE, EMR_SETBKMODE, EMR_SETPOLYFILLMODE,
    EMR_SETROP2, EMR_SETSTRETCHBLTMODE, EMR_SETTEXTALIGN, EMR_SETCOLORADJUSTMENT, EMR_SETTEXTCOLOR, EMR_SETBKCOLOR,
    EMR_OFFSETCLIPRGN, EMR_MOVETOEX, EMR_SETMETARGN, EMR_EXCLUDECLIPRECT, EMR_INTERSECTCLIPRECT,
    EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX, EMR_SAVEDC, EMR_RESTOREDC, EMR_SETWORLDTRANSFORM,
    EMR_MODIFYWORLDTRANSFORM, EMR_SELECTOBJECT, EMR_CREATEPEN, EMR_CREATEBRUSHINDIRECT, EMR_DELETEOBJECT,
    EMR_ANGLEARC, EMR_ELLIPSE, EMR_RECTANGLE, EMR_ROUNDRECT, EMR_ARC, EMR_CHORD, EMR_PIE, EMR_SELECTPALETTE,
    EMR_CREATEPALETTE, EMR_SETPALETTEENTRIES, EMR_RESIZEPALETTE, EMR_REALIZEPALETTE, EMR_EXTFLOODFILL, EMR_LINETO,
    EMR_ARCTO, EMR_POLYDRAW, EMR_SETARCDIRECTION, EMR_SETMITERLIMIT, EMR_BEGINPATH, EMR_ENDPATH, EMR_CLOSEFIGURE,
    EMR_FILLPATH, EMR_STROKEANDFILLPATH, EMR_STROKEPATH, EMR_FLATTENPATH, EMR_WIDENPATH, EMR_SELECTCLIPPATH,
    EMR_ABORTPATH, EMR_GDICOMMENT = 70, EMR_FILLRGN, EMR_FRAMERGN, EMR_INVERTRGN, EMR_PAINTRGN, EMR_EXTSELECTCLIPRGN,
    EMR_BITBLT, EMR_STRETCHBLT, EMR_MASKBLT, EMR_PLGBLT, EMR_SETDIBITSTODEVICE, EMR_STRETCHDIBITS,
    EMR_EXTCREATEFONTINDIRECTW, EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW, EMR_POLYBEZIER16, EMR_POLYGON16, EMR_POLYLINE16,
    EMR_POLYBEZIERTO16, EMR_POLYLINETO16, EMR_POLYPOLYLINE16, EMR_POLYPOLYGON16, EMR_POLYDRAW16,
    EMR_CREATEMONOBRUSH, EMR_CREATEDIBPATTERNBRUSHPT, EMR_EXTCREATEPEN,
    EMR_SMALLTEXTOUT = 108, EMR_ALPHABLEND = 114, EMR_TRANSPARENTBLT = 116, EMR_GRADIENTFILL = 118,
};

QPointF pointl(ByteReader& r);
QRectF rectl(ByteReader& r);
QSizeF sizel(ByteReader& r);
// count points, as 16-bit or 32-bit x, y pairs; the caller checks they fit.
QList<QPointF> readPoints(ByteReader& r, qint64 count, bool small);
// RGNDATA: a 32-byte header, then its rectangles; nullopt when they do not fit its bytes.
std::optional<QList<QRect>> readRegionData(ByteReader r);

} // namespace emf

struct EmfRecord
{
    qint64 offset = 0;
    quint32 type = 0;
    ByteReader data;   // the whole record, its 8-byte type and size included
};

// An enhanced metafile (EMF): its header, the picture's size and the framing of its records.
//
// The header's frame, in hundredths of a millimetre, is the picture; it is taken as right − left
// by bottom − top, the rectangle a program passes when it creates the metafile (an inclusive
// reading would add a hundredth of a millimetre). The reference device's pixels and millimetres
// (micrometres when given) turn that frame into device units, which is where the records'
// mapping modes land. A header without a frame falls back to its bounds in device pixels.
class EmfFile
{
public:
    explicit EmfFile(const QByteArray& data);

    static bool looksLike(const QByteArray& head);

    // Reads the header; false with error() saying why.
    bool open();
    QString error() const { return m_error; }

    // Hundredths of a millimetre.
    QSize himetric() const;
    // Unrounded pixels at the given resolution.
    QSizeF pixelSize(double dpiX, double dpiY) const;
    // The frame in the reference device's units.
    QRectF deviceFrame() const { return m_deviceFrame; }
    QSizeF deviceUnitsPerMm() const { return m_devicePerMm; }
    // Entries of the object table, the metafile's own at 0 included.
    quint32 handles() const { return m_handles; }

    qint64 size() const { return m_data.size(); }
    // The record at pos, moving pos past it; false, with why saying so, when it does not fit.
    bool nextRecord(qint64& pos, EmfRecord& record, QString* why) const;

private:
    bool fail(const QString& message);

    QByteArray m_data;
    QString m_error;
    QRectF m_frameHimetric;
    QRectF m_deviceFrame;
    QSizeF m_devicePerMm;
    quint32 m_handles = 1;
};

} // namespace orv
