#pragma once

#include "browser/core/filepatterns.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace orv {

// One file of a listing. `raw` is the name as the file system holds it -- use it to open the
// file; `display` is what QFile::decodeName can show of it (they differ for names that are
// not valid UTF-8).
struct FileEntry
{
    QByteArray raw;
    QString display;
};

// The files of one folder. `ok` is false when the folder could not be read (missing,
// unreadable, not a folder) -- then `files` is empty.
struct Listing
{
    QString folder;
    QList<FileEntry> files;
    bool ok = false;
};

// The regular files of `folder` (symbolic links to regular files too, no folders) whose names
// match `pattern`, sorted by name ignoring case, ties broken by the raw bytes. Reads the folder
// with readdir and stats only matching names whose type the directory entry leaves open.
// Thread-safe. When `stop` is requested the listing ends early, empty and not ok.
Listing listFiles(const QString& folder, const WildcardPattern& pattern, std::stop_token stop = {});

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
    // The generation of the newest request, 0 before the first.
    quint64 latest() const { return m_latest; }

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

    quint64 m_latest = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_pending;     // guarded by m_mutex
    std::stop_source m_runningStop;   // guarded by m_mutex
    bool m_quit = false;              // guarded by m_mutex
    std::thread m_worker;
};

} // namespace orv
