#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace orv {

// A picture as the program shows it: pixels at natural size and the size in hundredths of a
// millimetre (HIMETRIC) the placement arithmetic works in.
struct Picture {
    QImage image;
    QSize himetric;
    bool isNull() const { return image.isNull(); }
};

struct PictureResult {
    Picture picture;
    QString error;  // empty on success
    bool ok() const { return error.isEmpty() && !picture.isNull(); }
};

// Reads bmp, dib, gif (first frame), jpg, ico, cur, wmf and emf. Never throws; a file that is
// missing, unreadable, corrupt, of another format, or claims more pixels than the limit gives
// an error instead of a picture (and never a huge allocation).
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual PictureResult load(const QString& path) = 0;
};

// Qt's image readers for raster formats, our own renderer for metafiles. dpiX/dpiY are the
// screen's: they give a raster picture's HIMETRIC size (pixels × 2540 / DPI, rounded) and a
// metafile's pixel size.
class QtPictureLoader final : public PictureLoader {
public:
    QtPictureLoader(double dpiX, double dpiY, qint64 maxPixels = 256LL * 1024 * 1024);
    PictureResult load(const QString& path) override;

private:
    double dpiX_;
    double dpiY_;
    qint64 maxPixels_;
};

// HIMETRIC size of a raster picture shown at the given DPI.
QSize himetricForPixels(QSize pixels, double dpiX, double dpiY);

} // namespace orv
