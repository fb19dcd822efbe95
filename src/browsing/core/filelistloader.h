#pragma once

#include "browsing/core/listing.h"

#include <QObject>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace orv {

// Lists folders on one worker thread of its own and hands each finished listing back on the
// loader's thread. A newer request supersedes older ones: a listing still running is stopped,
// and a result that arrives after a newer request was made is never emitted. Call request()
// from the loader's thread. Destruction stops the worker and waits for it (at most one entry
// read after the stop).
class FileListLoader : public QObject
{
    Q_OBJECT

public:
    explicit FileListLoader(QObject* parent = nullptr);
    ~FileListLoader() override;

    // Starts listing and returns this request's generation (1, 2, 3, ...).
    quint64 request(const QString& folder, const WildcardPattern& pattern);
    // Frees a listing's files on the worker thread, after any listing waited for: a million
    // names take longer to free than the UI thread may pause.
    void discard(QList<FileEntry> files);
    // The generation of the newest request, 0 before the first.
    quint64 latest() const { return latest_; }

Q_SIGNALS:
    void finished(quint64 generation, const orv::Listing& listing);

private:
    struct Job
    {
        quint64 generation = 0;
        QString folder;
        WildcardPattern pattern;
    };

    void run();
    void deliver(quint64 generation, const Listing& listing);

    quint64 latest_ = 0;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;     // guarded by mutex_
    QList<QList<FileEntry>> trash_;  // guarded by mutex_
    std::vector<OpenFolder> closing_; // worker only
    std::stop_source runningStop_;   // guarded by mutex_
    bool quit_ = false;              // guarded by mutex_
    std::thread worker_;
};

} // namespace orv
