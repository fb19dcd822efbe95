#pragma once

#include "bytereader.h"
#include "metafileplayer.h"

#include <QByteArray>
#include <QImage>

namespace orv {

struct GdiBrush;

// Windows metafiles (WMF), with or without the placeable header.
//
// A placeable file gives its frame and units per inch. A plain one is sized by its first
// SETWINDOWORG/SETWINDOWEXT at 1440 units per inch (twips, what plain files made by drawing
// programs use); without those, by the bounds of its drawing at 96 units per inch (MM_TEXT
// pixels of the screen it was recorded on). Playing starts as a player sets a device up for a
// metafile: anisotropic mapping with window and viewport both on the frame, so the file's own
// window records scale its drawing onto the frame.
class WmfPlayer final : public MetafilePlayer
{
public:
    explicit WmfPlayer(const QByteArray& data);

    static bool looksLike(const QByteArray& head);

    bool open() override;
    QSize himetric() const override;
    QSizeF pixelSize(double dpiX, double dpiY) const override;
    QRectF deviceFrame() const override { return m_frame; }
    QSizeF deviceUnitsPerInch() const override { return QSizeF(m_unitsPerInch, m_unitsPerInch); }
    bool play(GdiCanvas& canvas) override;

private:
    struct Record
    {
        qint64 offset;
        quint32 words;
        quint16 function;
        ByteReader params;
    };
    bool nextRecord(qint64& pos, Record& record, QString* why);
    void scanForFrame();
    bool playRecord(GdiCanvas& canvas, const Record& record);
    bool createObject(GdiCanvas& canvas, quint16 function, ByteReader p);
    bool checkedIndex(GdiCanvas& canvas, quint16 index, const Record& record);
    bool blit(GdiCanvas& canvas, const Record& record);
    QImage bitmap16(ByteReader r, const GdiCanvas& canvas) const;

    QByteArray m_data;
    qint64 m_recordsStart = 0;
    quint16 m_objectCount = 0;
    bool m_placeable = false;
    QPointF m_windowOrg;
    QSizeF m_windowExt;
    QRectF m_frame;
    double m_unitsPerInch = 1440;
};

} // namespace orv
