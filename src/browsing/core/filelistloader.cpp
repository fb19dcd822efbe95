#include "browsing/core/filelistloader.h"

#include <utility>

namespace orv {

FileListLoader::FileListLoader(QObject* parent)
    : QObject(parent)
{
}

FileListLoader::~FileListLoader()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        pending_.reset();
        runningStop_.request_stop();
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

quint64 FileListLoader::request(const QString& folder, const WildcardPattern& pattern)
{
    const quint64 generation = ++latest_;
    {
        const std::lock_guard lock(mutex_);
        runningStop_.request_stop();
        pending_ = Job{generation, folder, pattern};
        if (!worker_.joinable())
            worker_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
    return generation;
}

void FileListLoader::discard(QList<FileEntry> files)
{
    if (files.isEmpty() || !files.isDetached())
        return;  // nothing to free, or another holder frees it
    {
        const std::lock_guard lock(mutex_);
        trash_.append(std::move(files));
        if (!worker_.joinable())
            worker_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

void FileListLoader::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || pending_.has_value() || !trash_.isEmpty() || !closing_.empty(); });
        if (quit_)
            return;
        // A listing waited for goes ahead of freeing the old one and of closing the folders
        // read.
        if (!pending_.has_value()) {
            QList<QList<FileEntry>> freeing = std::exchange(trash_, {});
            std::vector<OpenFolder> closing = std::exchange(closing_, {});
            lock.unlock();
            freeing.clear();
            closing.clear();
            lock.lock();
            continue;
        }
        const Job job = std::move(*pending_);
        pending_.reset();
        runningStop_ = std::stop_source();
        const std::stop_token stop = runningStop_.get_token();
        lock.unlock();

        OpenFolder read;
        Listing listing = listFiles(job.folder, job.pattern, stop, &read);

        lock.lock();
        // Posting under the lock keeps it ahead of the destructor; ~QObject then drops any
        // delivery that has not run yet.
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this,
                [this, generation = job.generation, result = std::move(listing)] { deliver(generation, result); },
                Qt::QueuedConnection);
        }
        if (read)
            closing_.push_back(std::move(read));
    }
}

void FileListLoader::deliver(quint64 generation, const Listing& listing)
{
    if (generation == latest_)
        Q_EMIT finished(generation, listing);
}

} // namespace orv
