#pragma once

#include "bytereader.h"
#include "metafileplayer.h"

#include <QByteArray>
#include <QImage>

namespace orv {

// Enhanced metafiles (EMF). The header's frame, in hundredths of a millimetre, is the picture;
// it is taken as right − left by bottom − top, the rectangle a program passes when it creates
// the metafile (an inclusive reading would add a hundredth of a millimetre). The reference
// device's pixels and millimetres (micrometres when given) turn that frame into device units,
// which is where the records' mapping modes land. A header without a frame falls back to its
// bounds in device pixels.
class EmfPlayer final : public MetafilePlayer
{
public:
    explicit EmfPlayer(const QByteArray& data);

    static bool looksLike(const QByteArray& head);

    bool open() override;
    QSize himetric() const override;
    QSizeF pixelSize(double dpiX, double dpiY) const override;
    QRectF deviceFrame() const override { return m_deviceFrame; }
    QSizeF deviceUnitsPerInch() const override { return m_devicePerMm * 25.4; }
    bool play(GdiCanvas& canvas) override;

private:
    struct Record
    {
        qint64 offset;
        quint32 type;
        ByteReader data;   // the whole record, its 8-byte type and size included
    };
    bool playRecord(GdiCanvas& canvas, const Record& record);
    bool createObject(GdiCanvas& canvas, const Record& record);
    bool blit(GdiCanvas& canvas, const Record& record);
    bool text(GdiCanvas& canvas, const Record& record);
    bool region(GdiCanvas& canvas, const Record& record);
    bool polyRecord(GdiCanvas& canvas, const Record& record);
    bool objectIndex(GdiCanvas& canvas, quint32 index, const Record& record, bool allowStock);
    bool bitmapAt(const Record& record, quint32 offBmi, quint32 cbBmi, quint32 offBits, quint32 cbBits, quint32 usage,
                  const GdiCanvas& canvas, QImage* image, bool* bottomUp, bool keepAlpha = false);
    bool corrupt(const Record& record);

    QByteArray m_data;
    QRectF m_frameHimetric;
    QRectF m_deviceFrame;
    QSizeF m_devicePerMm;
    quint32 m_handles = 1;
};

} // namespace orv
