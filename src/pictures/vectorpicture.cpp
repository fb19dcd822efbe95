#include "pictures/vectorpicture.h"

#include "pictures/metafile.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orv {

namespace {

constexpr int kTile = VectorPicture::kTileSize;
// Tiles rendered in one pass over the records at most: the bounding box of what is missing. A
// pass holds its part whole besides the tiles, so this bounds what rendering adds to them.
constexpr int kBatchTiles = 6;

int tilesAcross(int pixels)
{
    return (pixels + kTile - 1) / kTile;
}

int defaultTileLimit()
{
    QSize screen(1920, 1200);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::primaryScreen())
        screen = QGuiApplication::primaryScreen()->size().expandedTo(QSize(640, 480));
    // A view straddles one tile more each way, and the ring ahead adds one on every side.
    return (tilesAcross(screen.width()) + 3) * (tilesAcross(screen.height()) + 3);
}

} // namespace

// What the UI thread and the worker share, under the mutex unless said otherwise.
struct VectorPicture::Shared {
    std::shared_ptr<const MetafileDocument> document;
    QSize size;
    int columns = 0;
    int rows = 0;
    int limit = 0;

    std::mutex mutex;
    std::condition_variable changed;     // a render finished or failed
    std::atomic<bool> cancel{false};     // read by the renderer without the mutex
    QObject* receiver = nullptr;         // the VectorPicture; null once it is gone

    struct Tile {
        QImage image;
        quint64 used = 0;
    };
    QHash<int, Tile> tiles;
    quint64 clock = 0;
    QList<int> wantedNow;                // on screen, in the order to render them
    QList<int> wantedAhead;              // the ring around them
    QSet<int> onScreen;                  // never evicted
    struct PartJob {
        int id;
        QRect part;
    };
    std::deque<PartJob> parts;
    bool working = false;
    QString error;
    int renders = 0;

    QRect tileRect(int key) const
    {
        return QRect((key % columns) * kTile, (key / columns) * kTile, kTile, kTile).intersected(QRect(QPoint(), size));
    }
    // Tiles covering part, row by row.
    QList<int> keysOf(const QRect& part) const
    {
        QList<int> keys;
        const QRect r = part.intersected(QRect(QPoint(), size));
        if (r.isEmpty())
            return keys;
        for (int row = r.top() / kTile; row <= r.bottom() / kTile; ++row)
            for (int col = r.left() / kTile; col <= r.right() / kTile; ++col)
                keys.append(row * columns + col);
        return keys;
    }
    bool ready(const QRect& part) const
    {
        const QList<int> keys = keysOf(part);
        return std::all_of(keys.begin(), keys.end(), [this](int k) { return tiles.contains(k); });
    }

    void post(std::function<void(VectorPicture*)> call)
    {
        if (!receiver)
            return;
        auto* picture = static_cast<VectorPicture*>(receiver);
        QMetaObject::invokeMethod(picture, [picture, call = std::move(call)] { call(picture); }, Qt::QueuedConnection);
    }

    // The next tiles to render as one pass: the first missing one wanted, with the others wanted
    // as long as their bounding box stays small. Empty when nothing is missing.
    QList<int> nextBatch() const
    {
        for (const QList<int>* wanted : {&wantedNow, &wantedAhead}) {
            QList<int> batch;
            int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
            for (int key : *wanted) {
                if (tiles.contains(key))
                    continue;
                const int c = key % columns;
                const int r = key / columns;
                if (batch.isEmpty()) {
                    c0 = c1 = c;
                    r0 = r1 = r;
                    batch.append(key);
                    continue;
                }
                const int nc0 = std::min(c0, c), nc1 = std::max(c1, c), nr0 = std::min(r0, r), nr1 = std::max(r1, r);
                if ((nc1 - nc0 + 1) * (nr1 - nr0 + 1) > kBatchTiles)
                    continue;
                c0 = nc0, c1 = nc1, r0 = nr0, r1 = nr1;
                batch.append(key);
            }
            if (!batch.isEmpty())
                return batch;
        }
        return {};
    }

    void evict()
    {
        while (tiles.size() > limit) {
            auto oldest = tiles.end();
            for (auto it = tiles.begin(); it != tiles.end(); ++it) {
                if (!onScreen.contains(it.key()) && (oldest == tiles.end() || it->used < oldest->used))
                    oldest = it;
            }
            if (oldest == tiles.end())
                return;
            tiles.erase(oldest);
        }
    }

    // Runs on a pool thread until nothing is wanted, the picture is dropped or the file fails.
    static void work(const std::shared_ptr<Shared>& s)
    {
        std::unique_lock lock(s->mutex);
        while (!s->cancel.load() && s->error.isEmpty()) {
            if (!s->parts.empty()) {
                const PartJob job = s->parts.front();
                s->parts.pop_front();
                lock.unlock();
                MetafileDocument::Part part = s->document->render(job.part, &s->cancel);
                lock.lock();
                ++s->renders;
                if (!part.error.isEmpty()) {
                    s->fail(part.error);
                    break;
                }
                s->post([id = job.id, image = part.image](VectorPicture* p) { p->deliver(id, image); });
                continue;
            }
            const QList<int> batch = s->nextBatch();
            if (batch.isEmpty())
                break;
            QRect area;
            for (int key : batch)
                area |= s->tileRect(key);
            lock.unlock();
            const MetafileDocument::Part part = s->document->render(area, &s->cancel);
            lock.lock();
            ++s->renders;
            if (s->cancel.load())
                break;
            if (!part.error.isEmpty()) {
                s->fail(part.error);
                break;
            }
            for (int key : s->keysOf(area)) {
                const QRect r = s->tileRect(key);
                if (!area.contains(r) || s->tiles.contains(key))
                    continue;
                s->tiles.insert(key, Tile {part.image.copy(r.translated(-area.topLeft())), ++s->clock});
            }
            s->evict();
            s->changed.notify_all();
            s->post([](VectorPicture* p) { Q_EMIT p->updated(); });
        }
        s->working = false;
        s->changed.notify_all();
        lock.unlock();
#if defined(__GLIBC__)
        // Parts and tiles are megabytes each, and the allocator keeps what a thread freed for
        // that thread unless told: once idle, it goes back to the system.
        malloc_trim(0);
#endif
    }

    void fail(const QString& why)
    {
        error = why;
        changed.notify_all();
        std::deque<PartJob> dropped;
        dropped.swap(parts);
        for (const PartJob& job : dropped)
            post([id = job.id](VectorPicture* p) { p->deliver(id, QImage()); });
        post([why](VectorPicture* p) { Q_EMIT p->failed(why); });
    }
};

VectorPicture::VectorPicture(std::shared_ptr<const MetafileDocument> document, int tilesHeld)
    : size_(document ? document->size() : QSize())
    , d_(std::make_shared<Shared>())
{
    d_->document = std::move(document);
    d_->size = size_;
    d_->columns = std::max(1, tilesAcross(size_.width()));
    d_->rows = std::max(1, tilesAcross(size_.height()));
    d_->limit = std::max(tilesHeld > 0 ? tilesHeld : defaultTileLimit(), 1);
    d_->receiver = this;
    if (!d_->document)
        d_->error = QStringLiteral("no picture");
}

VectorPicture::~VectorPicture()
{
    std::lock_guard lock(d_->mutex);
    d_->receiver = nullptr;
    d_->cancel.store(true);
    d_->changed.notify_all();
}

void VectorPicture::startWork()
{
    // Called with the mutex held.
    if (d_->working || !d_->error.isEmpty())
        return;
    d_->working = true;
    QThreadPool::globalInstance()->start([d = d_] { Shared::work(d); });
}

void VectorPicture::paint(QPainter& painter, QPoint origin, const QRect& target)
{
    const QRect shown = target.translated(-origin).intersected(QRect(QPoint(), size_));
    if (shown.isEmpty())
        return;
    std::lock_guard lock(d_->mutex);
    const QList<int> keys = d_->keysOf(shown);
    d_->onScreen = QSet<int>(keys.begin(), keys.end());
    d_->wantedNow.clear();
    for (int key : keys) {
        const auto it = d_->tiles.find(key);
        if (it == d_->tiles.end()) {
            d_->wantedNow.append(key);
            continue;
        }
        it->used = ++d_->clock;
        const QRect r = d_->tileRect(key);
        const QRect part = r.intersected(shown);
        painter.drawImage(part.topLeft() + origin, it->image, part.translated(-r.topLeft()));
    }
    // The ring of tiles around what is shown, rendered once that is done.
    d_->wantedAhead.clear();
    const QRect ring = QRect(shown.left() / kTile * kTile - kTile, shown.top() / kTile * kTile - kTile,
                             (shown.right() / kTile - shown.left() / kTile + 3) * kTile,
                             (shown.bottom() / kTile - shown.top() / kTile + 3) * kTile);
    for (int key : d_->keysOf(ring)) {
        if (!d_->onScreen.contains(key) && !d_->tiles.contains(key))
            d_->wantedAhead.append(key);
    }
    if (!d_->wantedNow.isEmpty() || !d_->wantedAhead.isEmpty())
        startWork();
}

void VectorPicture::request(const QRect& part)
{
    std::lock_guard lock(d_->mutex);
    QList<int> keys = d_->keysOf(part);
    for (int key : d_->wantedNow) {
        if (!keys.contains(key))
            keys.append(key);
    }
    d_->wantedNow = keys;
    if (!d_->ready(part))
        startWork();
}

bool VectorPicture::isReady(const QRect& part) const
{
    std::lock_guard lock(d_->mutex);
    return d_->ready(part);
}

bool VectorPicture::waitFor(const QRect& part, int ms)
{
    request(part);
    std::unique_lock lock(d_->mutex);
    const auto done = [&] { return d_->ready(part) || !d_->error.isEmpty() || !d_->working; };
    if (ms < 0)
        d_->changed.wait(lock, done);
    else
        d_->changed.wait_for(lock, std::chrono::milliseconds(ms), done);
    return d_->ready(part);
}

void VectorPicture::renderPart(const QRect& part, QObject* context, std::function<void(const QImage&)> done)
{
    const int id = ++nextPart_;
    pending_.push_back(Pending {id, context, std::move(done)});
    std::lock_guard lock(d_->mutex);
    const QRect r = part.intersected(QRect(QPoint(), size_));
    if (!d_->error.isEmpty() || r.isEmpty()) {
        d_->post([id](VectorPicture* p) { p->deliver(id, QImage()); });
        return;
    }
    if (d_->ready(r)) {
        // Held already: put together from the tiles.
        QImage image(r.size(), QImage::Format_RGB32);
        QPainter p(&image);
        for (int key : d_->keysOf(r)) {
            const QRect t = d_->tileRect(key);
            p.drawImage(t.topLeft() - r.topLeft(), d_->tiles.value(key).image);
        }
        p.end();
        d_->post([id, image](VectorPicture* pic) { pic->deliver(id, image); });
        return;
    }
    d_->parts.push_back(Shared::PartJob {id, r});
    startWork();
}

void VectorPicture::deliver(int id, const QImage& image)
{
    const auto it = std::find_if(pending_.begin(), pending_.end(), [id](const Pending& p) { return p.id == id; });
    if (it == pending_.end())
        return;
    Pending job = std::move(*it);
    pending_.erase(it);
    if (job.context)
        job.done(image);
    // The callback may hold the last reference to this picture: it goes from the event loop,
    // not from within this call.
    QTimer::singleShot(0, QCoreApplication::instance(), [done = std::move(job.done)] {});
}

QString VectorPicture::error() const
{
    std::lock_guard lock(d_->mutex);
    return d_->error;
}

int VectorPicture::tilesHeld() const
{
    std::lock_guard lock(d_->mutex);
    return int(d_->tiles.size());
}

int VectorPicture::tileLimit() const
{
    return d_->limit;
}

int VectorPicture::renders() const
{
    std::lock_guard lock(d_->mutex);
    return d_->renders;
}

} // namespace orv
