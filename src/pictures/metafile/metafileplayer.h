#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <stop_token>

namespace orv {

class GdiCanvas;

// What metafile.cpp needs from a format: the picture's natural size and frame, then playing
// its records onto a canvas. open() reads the headers, and the records only where the frame
// is not in the headers (a plain WMF); that walk gives up once stop is requested.
class MetafilePlayer
{
public:
    virtual ~MetafilePlayer() = default;

    virtual bool open(std::stop_token stop) = 0;
    // Hundredths of a millimetre.
    virtual QSize himetric() const = 0;
    // Unrounded pixels at the given resolution.
    virtual QSizeF pixelSize(double dpiX, double dpiY) const = 0;
    // The part of the metafile's device space the picture shows.
    virtual QRectF deviceFrame() const = 0;
    virtual QSizeF deviceUnitsPerInch() const = 0;
    virtual bool play(GdiCanvas& canvas) = 0;

    QString error() const { return m_error; }

protected:
    bool fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return false;
    }

private:
    QString m_error;
};

} // namespace orv
