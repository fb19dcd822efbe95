#include "pictures/pictureloader.h"

#include "pictures/jpegdecoder.h"
#include "pictures/metafile.h"
#include "pictures/metafile/dibreader.h"
#include "pictures/vectorpicture.h"
#include "pictures/core/rasterformats.h"

#include "common/core/filenames.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QThreadPool>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

namespace orv {

QSize himetricForPixels(QSize pixels, double dpiX, double dpiY)
{
    return QSize(int(std::lround(pixels.width() * 2540.0 / dpiX)),
                 int(std::lround(pixels.height() * 2540.0 / dpiY)));
}

QSize Picture::size() const
{
    return vector ? vector->size() : image.size();
}

QtPictureLoader::QtPictureLoader(double dpiX, double dpiY, qint64 maxPixels, int firstRows, int firstPartMs)
    : dpiX_(dpiX > 0 ? dpiX : 96.0), dpiY_(dpiY > 0 ? dpiY : 96.0), maxPixels_(maxPixels), firstRows_(firstRows),
      firstPartMs_(firstPartMs)
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

// GIF readers fill what the first frame leaves of its screen with the background colour; that
// part is shown transparent, over whatever the picture lies on, as viewers show it.
void clearOutsideFirstFrame(QImage& img, QIODevice& file)
{
    const std::optional<GifLayout> layout = gifLayout(file);
    if (!layout || img.size() != layout->screen || layout->firstFrame.contains(QRect(QPoint(0, 0), layout->screen)))
        return;
    img.convertTo(QImage::Format_ARGB32);
    const QRect frame = layout->firstFrame.intersected(img.rect());
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const bool rowInside = y >= frame.top() && y <= frame.bottom();
        for (int x = 0; x < img.width(); ++x) {
            if (!rowInside || x < frame.left() || x > frame.right())
                line[x] = 0;
        }
    }
}

// A metafile of known size as the program shows it: drawn off this thread, the top-left tile
// first, waited for up to firstPartMs.
PictureResult shownMetafile(std::shared_ptr<const MetafileDocument> document, int firstPartMs)
{
    // No pixel limit: only the parts shown are ever rendered.
    const QSize size = document->size();
    PictureResult r;
    r.picture.himetric = document->himetric();
    r.picture.vector = std::make_shared<VectorPicture>(std::move(document));
    const QRect first(0, 0, std::min(size.width(), VectorPicture::kTileSize),
                      std::min(size.height(), VectorPicture::kTileSize));
    r.picture.vector->waitFor(first, firstPartMs);
    if (!r.picture.vector->error().isEmpty())
        return failure(r.picture.vector->error());
    return r;
}

} // namespace

// What the worker and the pending picture share, under the mutex.
struct PendingPicture::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::shared_ptr<const MetafileDocument> document;
    QString error;
    std::stop_source stop;
    PendingPicture* receiver = nullptr;   // null once it is gone
};

PendingPicture::PendingPicture(const QString& path, double dpiX, double dpiY)
    : d_(std::make_shared<Shared>())
{
    d_->receiver = this;
    QThreadPool::globalInstance()->start([d = d_, path, dpiX, dpiY] {
        QString why;
        std::shared_ptr<const MetafileDocument> document;
        QFile f;
        if (why = openForReading(f, path); why.isEmpty()) {
            const QByteArray data = f.readAll();
            if (f.error() != QFileDevice::NoError)
                why = f.errorString();
            else
                document = MetafileDocument::open(data, dpiX, dpiY, &why, d->stop.get_token());
        }
        std::lock_guard lock(d->mutex);
        d->document = std::move(document);
        d->error = why;
        d->done = true;
        d->changed.notify_all();
        if (PendingPicture* p = d->receiver)
            QMetaObject::invokeMethod(p, [p] { p->complete(); }, Qt::QueuedConnection);
    });
}

PendingPicture::~PendingPicture()
{
    std::lock_guard lock(d_->mutex);
    d_->receiver = nullptr;
    d_->stop.request_stop();
}

bool PendingPicture::waitForWorker(int ms)
{
    std::unique_lock lock(d_->mutex);
    if (ms < 0)
        d_->changed.wait(lock, [this] { return d_->done; });
    else
        d_->changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return d_->done; });
    return d_->done;
}

void PendingPicture::waitUntilDone()
{
    waitForWorker(-1);
    complete();
}

PictureResult PendingPicture::resultNow(int firstPartMs) const
{
    std::shared_ptr<const MetafileDocument> document;
    QString why;
    {
        std::lock_guard lock(d_->mutex);
        document = d_->document;
        why = d_->error;
    }
    if (!document)
        return failure(why.isEmpty() ? QStringLiteral("unreadable metafile") : why);
    return shownMetafile(std::move(document), firstPartMs);
}

void PendingPicture::complete()
{
    if (result_)
        return;
    result_ = resultNow(0);
    Q_EMIT finished();
}

PictureResult PictureLoader::loadWhole(const QString& path, std::stop_token stop)
{
    if (stop.stop_requested())
        return failure(QStringLiteral("cancelled"));
    PictureResult r = load(path);
    if (r.picture.completion) {
        r.picture.completion->waitUntilDone();
        r.picture.completion.reset();
    }
    return r;
}

PictureResult QtPictureLoader::load(const QString& path)
{
    return read(path, firstRows_, false, {});
}

PictureResult QtPictureLoader::loadWhole(const QString& path, std::stop_token stop)
{
    PictureResult r = read(path, 0, true, stop);
    if (stop.stop_requested())
        return failure(QStringLiteral("cancelled"));
    return r;
}

PictureResult QtPictureLoader::loadAhead(const QString& path, std::stop_token stop)
{
    // A worker may wait for a metafile to be sized; a JPEG still comes as its first rows.
    PictureResult r = read(path, firstRows_, true, stop);
    if (stop.stop_requested())
        return failure(QStringLiteral("cancelled"));
    return r;
}

PictureResult QtPictureLoader::read(const QString& path, int firstRows, bool whole, std::stop_token stop)
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
        // Read and sized on a worker when that can take long: this thread waits for it no
        // longer than for the first tile, and not at all for a file whose reading alone takes
        // about that long.
        constexpr qint64 kReadHereBytes = 4LL * 1024 * 1024;
        const bool large = f.size() > kReadHereBytes;
        if (!whole && (large || MetafileDocument::sizedByRecords(f.peek(64)))) {
            f.close();
            QElapsedTimer clock;
            clock.start();
            std::shared_ptr<PendingPicture> pending(new PendingPicture(path, dpiX_, dpiY_));
            if (firstPartMs_ == 0 || (large && firstPartMs_ > 0) || !pending->waitForWorker(firstPartMs_)) {
                PictureResult r;
                r.pending = std::move(pending);
                return r;
            }
            return pending->resultNow(firstPartMs_ < 0 ? -1 : std::max<int>(0, firstPartMs_ - int(clock.elapsed())));
        }
        QString why;
        std::shared_ptr<const MetafileDocument> document = MetafileDocument::open(f.readAll(), dpiX_, dpiY_, &why, stop);
        if (!document)
            return failure(why.isEmpty() ? QStringLiteral("unreadable metafile") : why);
        return shownMetafile(std::move(document), firstPartMs_);
    }

    QFile file;
    if (const QString why = openForReading(file, path); !why.isEmpty())
        return failure(why);
    // Bitmaps in all their variants, and headerless clipboard-style DIBs, through our own reader.
    const QByteArray head = file.peek(64);
    const bool dibSuffix = suffix == QLatin1String("dib") || suffix == QLatin1String("bmp");
    if (looksLikeBitmapFile(head) || (dibSuffix && looksLikeHeaderlessDib(head))) {
        const qint64 size = file.size();
        const uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
        const QByteArray copy = bytes ? QByteArray() : file.readAll();
        const ByteReader data = bytes ? ByteReader(reinterpret_cast<const char*>(bytes), size)
                                      : ByteReader(copy.constData(), copy.size());
        DibReader::Result dib = DibReader::decodeFile(data, maxPixels_);
        if (dib.image.isNull())
            return failure(QStringLiteral("unreadable or truncated bitmap"));
        PictureResult r;
        r.picture.image = std::move(dib.image);
        makePaintable(r.picture.image);
        r.picture.himetric = himetricForPixels(r.picture.image.size(), dpiX_, dpiY_);
        return r;
    }
    if (looksLikeJpeg(file.peek(3))) {
        DecodedJpeg j = decodeJpeg(path, maxPixels_, firstRows, stop);
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
    if (reader.format() == "gif") {
        file.seek(0);
        clearOutsideFirstFrame(img, file);
    }
    makePaintable(img);
    PictureResult r;
    r.picture.himetric = himetricForPixels(img.size(), dpiX_, dpiY_);
    r.picture.image = std::move(img);
    return r;
}

} // namespace orv
