#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace orv {

class MetafileDocument;

// A metafile as the program shows it: drawn from its records at natural size when a part of it
// is wanted, never whole up front. Parts render on a worker thread as tiles, the ones on screen
// first and then the ring around them; the tiles held are bounded by a screen's worth plus that
// ring, the least recently shown going first. Printing and other whole-part needs get the part
// they ask for, rendered apart from the tiles. Lives on the UI thread; dropping it stops its
// work without waiting for it.
class VectorPicture final : public QObject {
    Q_OBJECT
public:
    static constexpr int kTileSize = 512;

    // tilesHeld: how many tiles may be kept; 0 for the primary screen's area plus a ring of tiles.
    explicit VectorPicture(std::shared_ptr<const MetafileDocument> document, int tilesHeld = 0);
    ~VectorPicture() override;

    QSize size() const { return size_; }

    // Draws the part of the picture that falls in target (painter coordinates), the picture's
    // top-left corner at origin. Tiles not rendered yet are left as they are and asked for.
    void paint(QPainter& painter, QPoint origin, const QRect& target);
    // Asks for the tiles of part (picture pixels) ahead of what is shown.
    void request(const QRect& part);
    bool isReady(const QRect& part) const;
    // Asks for part and waits up to ms for it (-1: until rendered); true when it is ready.
    bool waitFor(const QRect& part, int ms);
    // Renders part (cut to the picture) off the UI thread and hands it to done on the UI thread,
    // unless context is gone by then; a failed file gives a null image.
    void renderPart(const QRect& part, QObject* context, std::function<void(const QImage&)> done);

    // Why playing the records failed; empty while they play.
    QString error() const;
    int tilesHeld() const;
    int tileLimit() const;
    // Renders done so far, each one pass over the records.
    int renders() const;

Q_SIGNALS:
    // More of the picture is ready to paint.
    void updated();
    // Playing the records failed: nothing more will come.
    void failed(const QString& why);

private:
    struct Shared;
    void startWork();
    void deliver(int id, const QImage& image);

    QSize size_;
    std::shared_ptr<Shared> d_;
    int nextPart_ = 0;
    struct Pending {
        int id;
        QPointer<QObject> context;
        std::function<void(const QImage&)> done;
    };
    std::vector<Pending> pending_;
};

} // namespace orv
