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
#include <stop_token>

namespace orv {

namespace wmf {

enum Function : quint16 {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_FRAMEREGION = 0x0429,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ESCAPE = 0x0626,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

// WMF records list a rectangle as bottom, right, top, left, and a point as y, x.
QRectF reversedRect(ByteReader& p);
QPointF reversedPoint(ByteReader& p);
// count points as x, y pairs; none when they do not all fit.
QList<QPointF> readPoints(ByteReader& p, qint64 count);
// The rectangles of a region object, in logical units; nullopt when its scans do not fit.
std::optional<QList<QRect>> readRegion(ByteReader p);

} // namespace wmf

struct WmfRecord
{
    qint64 offset = 0;
    quint32 words = 0;      // the whole record, in 16-bit words
    quint16 function = 0;
    ByteReader params;      // what follows the size and function
};

// A Windows metafile (WMF), with or without the placeable header: its headers, the picture's
// size and the framing of its records.
//
// A placeable file gives its frame and units per inch. A plain one is sized as other players
// size it: by its first SETWINDOWORG/SETWINDOWEXT, in the units of its mapping mode (pixels of a
// 96 dpi screen for MM_TEXT, MM_ISOTROPIC and MM_ANISOTROPIC); without a window, or in a fixed
// mapping mode, which ignores the window, by the bounds of what it draws.
class WmfFile
{
public:
    // How the picture is framed: what open() finds, for a plain file by walking every record.
    struct Framing
    {
        QRectF frame;
        double unitsPerInch = 1440;
        bool framedByWindow = false;
        QPointF windowOrg;
        QSizeF windowExt;
    };

    explicit WmfFile(const QByteArray& data);

    static bool looksLike(const QByteArray& head);
    // True when finding the frame takes a walk over every record (a plain file), not the
    // headers alone.
    static bool sizedByRecords(const QByteArray& head);

    // Reads the headers and finds the frame; false with error() saying why. A walk over the
    // records gives up, as a failure, once stop is requested.
    bool open(std::stop_token stop = {});
    // The same with the framing an earlier open() of these bytes found: headers only.
    bool open(const Framing& known);
    QString error() const { return m_error; }
    Framing framing() const { return {m_frame, m_unitsPerInch, m_framedByWindow, m_windowOrg, m_windowExt}; }

    bool placeable() const { return m_placeable; }
    quint16 objectCount() const { return m_objectCount; }
    // The picture in device units: the placeable header's logical frame, a plain file's window
    // or the bounds of its drawing.
    QRectF frame() const { return m_frame; }
    double unitsPerInch() const { return m_unitsPerInch; }
    // A plain file framed by its window: playing starts with that window mapped onto the frame.
    bool framedByWindow() const { return m_framedByWindow; }
    QPointF windowOrg() const { return m_windowOrg; }
    QSizeF windowExt() const { return m_windowExt; }
    // Hundredths of a millimetre.
    QSize himetric() const;
    // Unrounded pixels at the given resolution.
    QSizeF pixelSize(double dpiX, double dpiY) const;

    qint64 size() const { return m_data.size(); }
    qint64 recordsStart() const { return m_recordsStart; }
    // The record at pos, moving pos past it; false, with why saying so, when it does not fit.
    bool nextRecord(qint64& pos, WmfRecord& record, QString* why) const;

private:
    bool fail(const QString& message);
    bool readHeaders();
    bool scanForFrame(std::stop_token stop);

    QByteArray m_data;
    QString m_error;
    qint64 m_recordsStart = 0;
    quint16 m_objectCount = 0;
    bool m_placeable = false;
    bool m_framedByWindow = false;
    QPointF m_windowOrg;
    QSizeF m_windowExt;
    QRectF m_frame;
    double m_unitsPerInch = 1440;
};

} // namespace orv
