#pragma once

#include "metafileplayer.h"
#include "pictures/core/emffile.h"

#include <QByteArray>
#include <QImage>

namespace orv {

// Plays an enhanced metafile (EMF) onto a canvas whose device space is the reference device's.
class EmfPlayer final : public MetafilePlayer
{
public:
    explicit EmfPlayer(const QByteArray& data);

    static bool looksLike(const QByteArray& head) { return EmfFile::looksLike(head); }

    bool open() override;
    QSize himetric() const override { return m_file.himetric(); }
    QSizeF pixelSize(double dpiX, double dpiY) const override { return m_file.pixelSize(dpiX, dpiY); }
    QRectF deviceFrame() const override { return m_file.deviceFrame(); }
    QSizeF deviceUnitsPerInch() const override { return m_file.deviceUnitsPerMm() * 25.4; }
    bool play(GdiCanvas& canvas) override;

private:
    using Record = EmfRecord;
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

    EmfFile m_file;
};

} // namespace orv
