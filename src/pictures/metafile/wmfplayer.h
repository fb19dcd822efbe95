#pragma once

#include "metafileplayer.h"
#include "pictures/core/wmffile.h"

#include <QByteArray>

#include <optional>

namespace orv {

// Plays a Windows metafile (WMF) onto a canvas. Playing starts as a player sets a device up for
// a metafile: anisotropic mapping with window and viewport both on the frame, so the file's own
// window records scale its drawing onto the frame. A plain file framed by the bounds of its
// drawing plays in its own mapping, whose device units the frame is in.
class WmfPlayer final : public MetafilePlayer
{
public:
    // known: the framing an earlier open of the same bytes found, sparing this one the walk
    // over the records a plain file is sized by.
    explicit WmfPlayer(const QByteArray& data, std::optional<WmfFile::Framing> known = std::nullopt);

    static bool looksLike(const QByteArray& head) { return WmfFile::looksLike(head); }

    bool open(std::stop_token stop) override;
    WmfFile::Framing framing() const { return m_file.framing(); }
    QSize himetric() const override { return m_file.himetric(); }
    QSizeF pixelSize(double dpiX, double dpiY) const override { return m_file.pixelSize(dpiX, dpiY); }
    QRectF deviceFrame() const override { return m_file.frame(); }
    QSizeF deviceUnitsPerInch() const override { return QSizeF(m_file.unitsPerInch(), m_file.unitsPerInch()); }
    bool play(GdiCanvas& canvas) override;

private:
    WmfFile m_file;
    std::optional<WmfFile::Framing> m_known;
};

} // namespace orv
