#pragma once

#include "metafileplayer.h"
#include "pictures/core/emffile.h"

#include <QByteArray>

namespace orv {

// Plays an enhanced metafile (EMF) onto a canvas whose device space is the reference device's.
class EmfPlayer final : public MetafilePlayer
{
public:
    explicit EmfPlayer(const QByteArray& data);

    static bool looksLike(const QByteArray& head) { return EmfFile::looksLike(head); }

    bool open(std::stop_token stop) override;
    QSize himetric() const override { return m_file.himetric(); }
    QSizeF pixelSize(double dpiX, double dpiY) const override { return m_file.pixelSize(dpiX, dpiY); }
    QRectF deviceFrame() const override { return m_file.deviceFrame(); }
    QSizeF deviceUnitsPerInch() const override { return m_file.deviceUnitsPerMm() * 25.4; }
    bool play(GdiCanvas& canvas) override;

private:
    EmfFile m_file;
};

} // namespace orv
