#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <stop_token>

namespace orv {

// Decoding that goes on after the loader returned: rows [0, rowsReady()) of the picture are
// final, the others are still being written by a worker thread. Destroying it stops the work.
class PictureCompletion : public QObject {
    Q_OBJECT
public:
    virtual int rowsReady() const = 0;
    virtual bool isDone() const = 0;
    // Blocks until every row is final.
    virtual void waitUntilDone() = 0;

Q_SIGNALS:
    // More rows are ready (or all are); emitted on the thread the completion lives in.
    void progressed();
};

class VectorPicture;

// A picture as the program shows it: pixels at natural size and the size in hundredths of a
// millimetre (HIMETRIC) the placement arithmetic works in. Large JPEGs come back with their
// top rows decoded and the rest on its way (completion). Metafiles come as a vector picture,
// drawn a part at a time as it is shown, and no image; everything else comes complete.
struct Picture {
    QImage image;
    QSize himetric;
    std::shared_ptr<PictureCompletion> completion;
    std::shared_ptr<VectorPicture> vector;
    bool isNull() const { return image.isNull() && !vector; }
    // Natural size in pixels.
    QSize size() const;
    int rowsReady() const { return completion ? completion->rowsReady() : image.height(); }
};

class PendingPicture;

struct PictureResult {
    Picture picture;
    QString error;  // empty on success
    // Still being read off the UI thread: no picture and no error yet (see PendingPicture).
    std::shared_ptr<PendingPicture> pending;
    bool ok() const { return error.isEmpty() && !picture.isNull(); }
    bool isPending() const { return pending != nullptr; }
};

// A metafile still being read and sized on a worker thread: a plain WMF (no placeable header)
// is sized by walking every one of its records, which for a file of millions of them takes
// seconds, and reading a file of many megabytes takes long by itself. finished() comes on the thread that loaded it, once result() holds the
// picture or the error. Dropping it stops the walk.
class PendingPicture : public QObject {
    Q_OBJECT
public:
    ~PendingPicture() override;
    bool isDone() const { return result_.has_value(); }
    // Blocks until the size is known (a worker's walk ends promptly when it is dropped, so this is
    // for the callers that used to wait for the whole load anyway).
    void waitUntilDone();
    // The picture or why it cannot be had; only once done.
    const PictureResult& result() const { return *result_; }

Q_SIGNALS:
    void finished();

private:
    friend class QtPictureLoader;
    struct Shared;
    PendingPicture(const QString& path, double dpiX, double dpiY);
    // Waits up to ms (-1: until done) for the worker; true when it has finished.
    bool waitForWorker(int ms);
    // The picture from what the finished worker found, waiting up to firstPartMs for its first tile.
    PictureResult resultNow(int firstPartMs) const;
    // On this object's thread: the result, then finished().
    void complete();

    std::shared_ptr<Shared> d_;
    std::optional<PictureResult> result_;
};

// Reads bmp, dib, gif (first frame), jpg, ico, cur, wmf and emf. Never throws; a file that is
// missing, unreadable, corrupt, of another format, or (raster) claims more pixels than the
// limit gives an error instead of a picture (and never a huge allocation).
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    virtual PictureResult load(const QString& path) = 0;
    // The whole picture before returning (never a completion), for work off the UI thread:
    // safe to call from any thread. Gives up with an error once stop is requested.
    virtual PictureResult loadWhole(const QString& path, std::stop_token stop);
    // As load(), for work off the UI thread: a large picture may come with its first rows and
    // the rest on its way (completion), so whoever wants it before it is whole can show it as
    // it fills in. Gives up with an error once stop is requested before the first rows are in;
    // the rest stops when the completion is dropped. The picture's objects live in the calling
    // thread. By default the whole picture (loadWhole).
    virtual PictureResult loadAhead(const QString& path, std::stop_token stop) { return loadWhole(path, stop); }
};

// Qt's image readers for raster formats, our own renderer for metafiles. dpiX/dpiY are the
// screen's: they give a raster picture's HIMETRIC size (pixels × 2540 / DPI, rounded) and a
// metafile's pixel size.
class QtPictureLoader final : public PictureLoader {
public:
    // firstRows: for JPEGs taller than this, only these rows are decoded before load() returns
    // and the rest follow in the background (0: always whole). firstPartMs: how long load()
    // waits for a metafile's size and top-left tile, so that a simple one shows at once and a
    // file its records refuse is refused here; later, the picture reports it itself (-1: wait
    // for it). A plain WMF not sized by then comes back pending (0: always).
    QtPictureLoader(double dpiX, double dpiY, qint64 maxPixels = 256LL * 1024 * 1024, int firstRows = 0,
                    int firstPartMs = 50);
    PictureResult load(const QString& path) override;
    PictureResult loadWhole(const QString& path, std::stop_token stop) override;
    PictureResult loadAhead(const QString& path, std::stop_token stop) override;

private:
    PictureResult read(const QString& path, int firstRows, bool whole, std::stop_token stop);

    double dpiX_;
    double dpiY_;
    qint64 maxPixels_;
    int firstRows_;
    int firstPartMs_;
};

// HIMETRIC size of a raster picture shown at the given DPI.
QSize himetricForPixels(QSize pixels, double dpiX, double dpiY);

} // namespace orv
