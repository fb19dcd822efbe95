#include "pictures/picturepreloader.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace orv {

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

void PicturePreloader::want(const QStringList& paths)
{
    {
        const std::lock_guard lock(mutex_);
        wanted_.clear();
        for (const QString& p : paths) {
            if (!p.isEmpty() && !wanted_.contains(p) && wanted_.size() < capacity_)
                wanted_.append(p);
        }
        std::erase_if(entries_, [this](const Entry& e) { return !isWantedLocked(e.path); });
        if (!running_.isEmpty() && !isWantedLocked(running_))
            runningStop_.request_stop();
        if (!worker_.joinable() && !wanted_.isEmpty())
            worker_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

std::optional<PictureResult> PicturePreloader::take(const QString& path)
{
    std::unique_lock lock(mutex_);
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == path; });
    if (it == entries_.end())
        return std::nullopt;
    if (it->key != keyOf(path) || !it->key.exists) {
        // Changed (or gone) since it was read: never shown stale; read again if still wanted.
        entries_.erase(it);
        lock.unlock();
        wake_.notify_all();
        return std::nullopt;
    }
    return it->result;
}

void PicturePreloader::add(const QString& path, const Picture& picture)
{
    if (path.isEmpty() || picture.isNull())
        return;
    const FileKey key = keyOf(path);
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
        PictureResult result;
        result.picture = picture;
        entries_.push_back(Entry{path, key, std::move(result)});
        if (running_ == path)
            runningStop_.request_stop();
        trimLocked();
        // The decoding under way would take the bound past capacity when it lands.
        if (!running_.isEmpty() && int(entries_.size()) >= capacity_)
            runningStop_.request_stop();
    }
    wake_.notify_all();
}

void PicturePreloader::clear()
{
    const std::lock_guard lock(mutex_);
    wanted_.clear();
    entries_.clear();
    runningStop_.request_stop();
}

QStringList PicturePreloader::held() const
{
    const std::lock_guard lock(mutex_);
    QStringList paths;
    for (const Entry& e : entries_)
        paths.append(e.path);
    return paths;
}

void PicturePreloader::trimLocked()
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
        entries_.erase(victim);
    }
}

void PicturePreloader::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        QString next;
        wake_.wait(lock, [&] {
            if (quit_)
                return true;
            if (int(entries_.size()) >= capacity_)
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
        PictureResult result = loader_.loadWhole(next, stop);

        lock.lock();
        running_.clear();
        const bool held = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.path == next; });
        if (stop.stop_requested() || quit_ || !isWantedLocked(next) || held)
            continue;
        entries_.push_back(Entry{next, key, std::move(result)});
        trimLocked();
        // Posted under the lock, ahead of the destructor; ~QObject drops what has not run.
        QMetaObject::invokeMethod(this, [this, next] { Q_EMIT ready(next); }, Qt::QueuedConnection);
    }
}

} // namespace orv
