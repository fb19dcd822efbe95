#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace orv {

class GdiCanvas;

// What metafile.cpp needs from a format: the picture's natural size and frame, then playing
// its records onto a canvas. open() reads the headers only.
class MetafilePlayer
{
public:
    virtual ~MetafilePlayer() = default;

    virtual bool open() = 0;
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
