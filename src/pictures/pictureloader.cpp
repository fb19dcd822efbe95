#include "pictures/pictureloader.h"

#include "pictures/jpegdecoder.h"
#include "pictures/metafile.h"
#include "pictures/core/rasterformats.h"

#include "common/core/filenames.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cmath>

namespace orv {

QSize himetricForPixels(QSize pixels, double dpiX, double dpiY)
{
    return QSize(int(std::lround(pixels.width() * 2540.0 / dpiX)),
                 int(std::lround(pixels.height() * 2540.0 / dpiY)));
}

QtPictureLoader::QtPictureLoader(double dpiX, double dpiY, qint64 maxPixels, int firstRows)
    : dpiX_(dpiX > 0 ? dpiX : 96.0), dpiY_(dpiY > 0 ? dpiY : 96.0), maxPixels_(maxPixels), firstRows_(firstRows)
{
}

namespace {

PictureResult failure(const QString& why)
{
    PictureResult r;
    r.error = why;
    return r;
}

// Pixels stored in a form that paints without conversion.
void makePaintable(QImage& img)
{
    switch (img.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return;
    default:
        img.convertTo(img.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    }
}

} // namespace

PictureResult QtPictureLoader::load(const QString& path)
{
    if (!isRegularFile(path))
        return failure(QStringLiteral("no such file"));
    const QFileInfo fi(path);
    const QString suffix = fi.suffix().toLower();

    if (suffix == QLatin1String("wmf") || suffix == QLatin1String("emf")) {
        QFile f;
        if (const QString why = openForReading(f, path); !why.isEmpty())
            return failure(why);
        // Metafiles are records, not pixels: a sane one is far below this.
        constexpr qint64 kMaxMetafileBytes = 256LL * 1024 * 1024;
        if (f.size() > kMaxMetafileBytes)
            return failure(QStringLiteral("metafile too large"));
        const RenderedMetafile m = renderMetafile(f.readAll(), dpiX_, dpiY_, maxPixels_);
        if (m.image.isNull())
            return failure(m.error.isEmpty() ? QStringLiteral("unreadable metafile") : m.error);
        PictureResult r;
        r.picture.image = m.image;
        r.picture.himetric = m.himetric;
        makePaintable(r.picture.image);
        return r;
    }

    QFile file;
    if (const QString why = openForReading(file, path); !why.isEmpty())
        return failure(why);
    if (looksLikeJpeg(file.peek(3))) {
        DecodedJpeg j = decodeJpeg(path, maxPixels_, firstRows_);
        if (!j.image.isNull()) {
            PictureResult r;
            r.picture.himetric = himetricForPixels(j.image.size(), dpiX_, dpiY_);
            r.picture.image = std::move(j.image);
            r.picture.completion = std::move(j.completion);
            return r;
        }
        // CMYK and other rarities: Qt's reader below.
        if (j.error == QLatin1String("picture too large"))
            return failure(j.error);
    }
    if (!bitmapIsComplete(file))
        return failure(QStringLiteral("truncated bitmap"));
    QImageReader reader(&file);
    // Qt reads a ".dib" suffix as a headerless DIB; ours are ordinary bitmap files.
    if (suffix == QLatin1String("dib") || suffix == QLatin1String("bmp"))
        reader.setFormat("bmp");
    else if (suffix == QLatin1String("ico") || suffix == QLatin1String("cur") || suffix == QLatin1String("gif"))
        reader.setFormat(suffix.toLatin1());
    else if (suffix == QLatin1String("jpg"))
        reader.setFormat("jpeg");
    reader.setAutoTransform(true);
    const QSize claimed = reader.size();
    if (claimed.isValid() && qint64(claimed.width()) * claimed.height() > maxPixels_)
        return failure(QStringLiteral("picture too large"));
    // Bounds the decoder itself too, for formats that cannot tell their size up front.
    reader.setAllocationLimit(int(std::min<qint64>(maxPixels_ * 4 / (1024 * 1024) + 1, 1 << 30)));
    QImage img;
    if (!reader.read(&img) || img.isNull())
        return failure(reader.errorString());
    makePaintable(img);
    PictureResult r;
    r.picture.himetric = himetricForPixels(img.size(), dpiX_, dpiY_);
    r.picture.image = std::move(img);
    return r;
}

} // namespace orv
