#include "pictures/picturepreloader.h"

#include "pictures/vectorpicture.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace orv {

// Pictures are dropped outside the lock: dropping an unfinished one waits for its decoding
// thread to stop, and tells restEnded(), which takes the lock itself. Until they are gone they
// still count against the capacity, so a new decoding never adds a picture to theirs.

PicturePreloader::PicturePreloader(PictureLoader& loader, int capacity, QObject* parent)
    : QObject(parent), loader_(loader), capacity_(std::max(capacity, 1))
{
}

PicturePreloader::~PicturePreloader()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        runningStop_.request_stop();
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    std::list<Entry> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropped.swap(entries_);
        restRunning_ = nullptr;
    }
    for (const Entry& e : dropped) {
        if (e.result.picture.completion)
            e.result.picture.completion->disconnect(this);
    }
}

PicturePreloader::FileKey PicturePreloader::keyOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return FileKey{info.lastModified(), info.size(), true};
}

bool PicturePreloader::isWantedLocked(const QString& path) const
{
    return wanted_.contains(path);
}

void PicturePreloader::dropLocked(std::list<Entry>& dropped, const std::function<bool(const Entry&)>& which)
{
    for (auto it = entries_.begin(); it != entries_.end();) {
        const auto next = std::next(it);
        if (which(*it)) {
            dropped.splice(dropped.end(), entries_, it);
            ++dropping_;
        }
        it = next;
    }
    forgetRestLocked();
}

void PicturePreloader::release(std::list<Entry>& dropped)
{
    const size_t count = dropped.size();
    dropped.clear();
    {
        const std::lock_guard lock(mutex_);
        dropping_ -= count;
    }
    wake_.notify_all();
}

void PicturePreloader::forgetRestLocked()
{
    // Dropped here but still shown: from now on it is the viewer's, like a picture it decoded
    // itself, and the next one need not wait for it.
    const bool held = std::any_of(entries_.begin(), entries_.end(),
                                  [this](const Entry& e) { return e.result.picture.completion.get() == restRunning_; });
    if (!held)
        restRunning_ = nullptr;
}

void PicturePreloader::want(const QStringList& paths)
{
    std::list<Entry> dropped;
    {
        const std::lock_guard lock(mutex_);
        wanted_.clear();
        for (const QString& p : paths) {
            if (!p.isEmpty() && !wanted_.contains(p) && wanted_.size() < capacity_)
                wanted_.append(p);
        }
        dropLocked(dropped, [this](const Entry& e) { return !isWantedLocked(e.path); });
        if (!running_.isEmpty() && !isWantedLocked(running_))
            runningStop_.request_stop();
        if (!worker_.joinable() && !wanted_.isEmpty())
            worker_ = std::thread([this] { run(); });
    }
    release(dropped);
}

std::optional<PictureResult> PicturePreloader::take(const QString& path)
{
    std::list<Entry> dropped;
    std::unique_lock lock(mutex_);
    // Its first rows are on their way: far sooner than reading it again from the start.
    wake_.wait(lock, [&] { return running_ != path || runningStop_.stop_requested() || quit_; });
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == path; });
    if (it == entries_.end())
        return std::nullopt;
    if (it->key != keyOf(path) || !it->key.exists) {
        // Changed (or gone) since it was read: never shown stale; read again if still wanted.
        dropped.splice(dropped.end(), entries_, it);
        ++dropping_;
        forgetRestLocked();
        lock.unlock();
        release(dropped);
        return std::nullopt;
    }
    return it->result;
}

void PicturePreloader::add(const QString& path, const Picture& picture)
{
    if (path.isEmpty() || picture.isNull())
        return;
    const FileKey key = keyOf(path);
    std::list<Entry> dropped;
    {
        const std::lock_guard lock(mutex_);
        dropLocked(dropped, [&](const Entry& e) { return e.path == path; });
        PictureResult result;
        result.picture = picture;
        entries_.push_back(Entry{path, key, std::move(result)});
        if (running_ == path)
            runningStop_.request_stop();
        trimLocked(dropped);
        // The decoding under way would take the bound past capacity when it lands.
        if (!running_.isEmpty() && int(entries_.size()) >= capacity_)
            runningStop_.request_stop();
    }
    release(dropped);
}

void PicturePreloader::clear()
{
    std::list<Entry> dropped;
    {
        const std::lock_guard lock(mutex_);
        wanted_.clear();
        dropped.swap(entries_);
        dropping_ += dropped.size();
        restRunning_ = nullptr;
        runningStop_.request_stop();
    }
    release(dropped);
}

QStringList PicturePreloader::held() const
{
    const std::lock_guard lock(mutex_);
    QStringList paths;
    for (const Entry& e : entries_)
        paths.append(e.path);
    return paths;
}

void PicturePreloader::trimLocked(std::list<Entry>& dropped)
{
    // Least wanted go first: those not wanted at all (oldest first), then from the list's end.
    while (int(entries_.size()) > capacity_) {
        auto victim = entries_.begin();
        qsizetype worst = -1;
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            const qsizetype rank = wanted_.indexOf(it->path);
            if (rank < 0) {
                victim = it;
                break;
            }
            if (rank > worst) {
                worst = rank;
                victim = it;
            }
        }
        dropped.splice(dropped.end(), entries_, victim);
        ++dropping_;
    }
    forgetRestLocked();
}

void PicturePreloader::restEnded(const QObject* completion)
{
    {
        const std::lock_guard lock(mutex_);
        if (restRunning_ != completion)
            return;
        restRunning_ = nullptr;
    }
    wake_.notify_all();
}

void PicturePreloader::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        QString next;
        wake_.wait(lock, [&] {
            if (quit_)
                return true;
            if (int(entries_.size() + dropping_) >= capacity_ || restRunning_)
                return false;
            for (const QString& p : std::as_const(wanted_)) {
                const bool held = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == p; });
                if (!held) {
                    next = p;
                    return true;
                }
            }
            return false;
        });
        if (quit_)
            return;
        running_ = next;
        runningStop_ = std::stop_source();
        const std::stop_token stop = runningStop_.get_token();
        lock.unlock();

        // The key is taken before reading: a file changed meanwhile fails take()'s check.
        const FileKey key = keyOf(next);
        PictureResult result = loader_.loadAhead(next, stop);

        lock.lock();
        running_.clear();
        const bool held = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == next; });
        if (stop.stop_requested() || quit_ || !isWantedLocked(next) || held) {
            // Dropped here, where its objects live.
            lock.unlock();
            wake_.notify_all();
            result = PictureResult();
            lock.lock();
            continue;
        }
        // Its objects report to whoever shows it, on this preloader's thread. Connected before
        // they move, so the report of the last rows cannot slip past.
        Picture& picture = result.picture;
        if (const std::shared_ptr<PictureCompletion>& rest = picture.completion) {
            // The next picture waits until this one is whole (or dropped): one at a time.
            const PictureCompletion* c = rest.get();
            connect(c, &PictureCompletion::progressed, this, [this, c] {
                if (c->isDone())
                    restEnded(c);
            });
            connect(c, &QObject::destroyed, this, [this, c] { restEnded(c); });
            rest->moveToThread(thread());
            restRunning_ = rest->isDone() ? nullptr : c;
        }
        if (picture.vector)
            picture.vector->moveToThread(thread());
        std::list<Entry> dropped;
        entries_.push_back(Entry{next, key, std::move(result)});
        trimLocked(dropped);
        if (!dropped.empty()) {
            // Dropped where their objects now live.
            auto gone = std::make_shared<std::list<Entry>>(std::move(dropped));
            QMetaObject::invokeMethod(this, [this, gone] { release(*gone); }, Qt::QueuedConnection);
        }
        // Posted under the lock, ahead of the destructor; ~QObject drops what has not run.
        QMetaObject::invokeMethod(this, [this, next] { Q_EMIT ready(next); }, Qt::QueuedConnection);
        lock.unlock();
        wake_.notify_all();
        lock.lock();
    }
}

} // namespace orv
