#pragma once

#include "pictures/pictureloader.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace orv {

// Decodes the pictures the user is likely to look at next on a worker thread of its own, so a
// step to one of them shows it at once. A picture is known by its path and the file's
// modification time and size: a file changed since it was decoded is read again, never shown
// stale. At most `capacity` decoded pictures are held, counting the one being decoded; pictures
// no longer wanted are dropped and their decoding stopped. A large picture is held as soon as
// its first rows are in, the rest following on (its completion): a step that comes while it is
// still being decoded takes it over as it is, so no picture is ever decoded twice. One picture
// is decoded at a time. Use it from one thread (the one it lives in); results come back there.
class PicturePreloader : public QObject {
    Q_OBJECT
public:
    // The loader's loadWhole() runs on the worker thread.
    PicturePreloader(PictureLoader& loader, int capacity, QObject* parent = nullptr);
    ~PicturePreloader() override;

    int capacity() const { return capacity_; }

    // The pictures wanted from now on, most wanted first (only the first `capacity` count).
    // Held pictures not in the list are dropped, a decoding not in it is stopped, and those
    // not held yet are decoded in this order. Empty paths are ignored.
    void want(const QStringList& paths);

    // The picture for path when it has been decoded (or refused: the result carries the
    // error) and the file has not changed since; it stays held while it is wanted. A picture
    // whose rows are still arriving comes with its completion. When path is being read right
    // now, this waits for its first rows rather than having the caller read it again.
    std::optional<PictureResult> take(const QString& path);

    // Hands over a picture the caller decoded itself (say, the one it shows) so it is not
    // decoded again while it is wanted; its file's current time and size become its key.
    // A picture whose rows are still arriving is fine: its holders see them arrive.
    void add(const QString& path, const Picture& picture);

    // Drops every picture and stops the decoding.
    void clear();

    // The paths held now, decoded or refused (for tests and benchmarks).
    QStringList held() const;

Q_SIGNALS:
    // A wanted picture has been decoded (or refused); take() gives it.
    void ready(const QString& path);

private:
    struct FileKey {
        QDateTime modified;
        qint64 size = -1;
        bool exists = false;
        friend bool operator==(const FileKey&, const FileKey&) = default;
    };
    struct Entry {
        QString path;
        FileKey key;
        PictureResult result;
    };

    static FileKey keyOf(const QString& path);
    void run();
    void trimLocked(std::list<Entry>& dropped);
    bool isWantedLocked(const QString& path) const;
    // Moves the entries of path (all when empty) into dropped.
    void dropLocked(std::list<Entry>& dropped, const std::function<bool(const Entry&)>& which);
    void forgetRestLocked();
    // Destroys pictures dropped under the lock, outside it.
    void release(std::list<Entry>& dropped);
    // The picture this preloader began has all its rows, or was dropped.
    void restEnded(const QObject* completion);

    PictureLoader& loader_;
    const int capacity_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    QStringList wanted_;         // guarded by mutex_
    std::list<Entry> entries_;   // guarded by mutex_
    size_t dropping_ = 0;        // guarded by mutex_: dropped, not yet destroyed
    QString running_;            // guarded by mutex_: the path whose first rows are being read
    const QObject* restRunning_ = nullptr;  // guarded by mutex_: the rest of a held picture on its way
    std::stop_source runningStop_;  // guarded by mutex_
    bool quit_ = false;          // guarded by mutex_
    std::thread worker_;
};

} // namespace orv
