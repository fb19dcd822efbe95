#pragma once

#include "metafileplayer.h"
#include "pictures/core/wmffile.h"

#include <QByteArray>

namespace orv {

// Plays a Windows metafile (WMF) onto a canvas. Playing starts as a player sets a device up for
// a metafile: anisotropic mapping with window and viewport both on the frame, so the file's own
// window records scale its drawing onto the frame. A plain file framed by the bounds of its
// drawing plays in its own mapping, whose device units the frame is in.
class WmfPlayer final : public MetafilePlayer
{
public:
    explicit WmfPlayer(const QByteArray& data);

    static bool looksLike(const QByteArray& head) { return WmfFile::looksLike(head); }

    bool open() override;
    QSize himetric() const override { return m_file.himetric(); }
    QSizeF pixelSize(double dpiX, double dpiY) const override { return m_file.pixelSize(dpiX, dpiY); }
    QRectF deviceFrame() const override { return m_file.frame(); }
    QSizeF deviceUnitsPerInch() const override { return QSizeF(m_file.unitsPerInch(), m_file.unitsPerInch()); }
    bool play(GdiCanvas& canvas) override;

private:
    WmfFile m_file;
};

} // namespace orv
