#include "browser/core/directorylisting.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

namespace orv {

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

struct SortItem
{
    QString key; // case-folded display name
    FileEntry entry;
};

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isAscii(const char* name, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(name[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

Listing listFiles(const QString& folder, const WildcardPattern& pattern, std::stop_token stop)
{
    Listing result;
    result.folder = folder;
    if (folder.isEmpty())
        return result;

    const std::unique_ptr<DIR, DirCloser> dir(::opendir(QFile::encodeName(folder).constData()));
    if (!dir)
        return result;
    const int dirFd = ::dirfd(dir.get());

    std::vector<SortItem> items;
    char16_t wide[NAME_MAX + 1];
    for (unsigned count = 1;; ++count) {
        if ((count & 255u) == 0 && stop.stop_requested())
            return result;
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return result;
            break;
        }
        const char* name = entry->d_name;
        const unsigned char type = entry->d_type;
        if ((type != DT_REG && type != DT_LNK && type != DT_UNKNOWN) || isDotOrDotDot(name))
            continue;

        // Most names are ASCII: widen them on the stack so a name that does not match costs
        // no allocation. Others decode exactly as they will be shown.
        const std::size_t length = std::strlen(name);
        QString display;
        if (length <= NAME_MAX && isAscii(name, length)) {
            std::copy(name, name + length, wide);
            const QStringView view(wide, qsizetype(length));
            if (!pattern.matches(view))
                continue;
            display = view.toString();
        } else {
            display = QFile::decodeName(QByteArray(name, qsizetype(length)));
            if (!pattern.matches(display))
                continue;
        }

        if (type != DT_REG) {
            struct stat info;
            if (::fstatat(dirFd, name, &info, 0) != 0 || !S_ISREG(info.st_mode))
                continue;
        }
        QString key = display.toCaseFolded();
        items.push_back({std::move(key), FileEntry{QByteArray(name, qsizetype(length)), std::move(display)}});
    }

    if (stop.stop_requested())
        return result;
    std::sort(items.begin(), items.end(), [](const SortItem& a, const SortItem& b) {
        const int byKey = QStringView(a.key).compare(QStringView(b.key));
        return byKey != 0 ? byKey < 0 : a.entry.raw < b.entry.raw;
    });

    result.files.reserve(qsizetype(items.size()));
    for (SortItem& item : items)
        result.files.push_back(std::move(item.entry));
    result.ok = true;
    return result;
}

FileListLoader::FileListLoader(QObject* parent)
    : QObject(parent)
{
}

FileListLoader::~FileListLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
        m_runningStop.request_stop();
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

quint64 FileListLoader::request(const QString& folder, const WildcardPattern& pattern)
{
    const quint64 generation = ++m_latest;
    {
        const std::lock_guard lock(m_mutex);
        m_runningStop.request_stop();
        m_pending = Job{generation, folder, pattern};
        if (!m_worker.joinable())
            m_worker = std::thread([this] { run(); });
    }
    m_wake.notify_all();
    return generation;
}

void FileListLoader::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
        if (m_quit)
            return;
        const Job job = std::move(*m_pending);
        m_pending.reset();
        m_runningStop = std::stop_source();
        const std::stop_token stop = m_runningStop.get_token();
        lock.unlock();

        Listing listing = listFiles(job.folder, job.pattern, stop);

        lock.lock();
        // Posting under the lock keeps it ahead of the destructor; ~QObject then drops any
        // delivery that has not run yet.
        if (!stop.stop_requested()) {
            QMetaObject::invokeMethod(
                this,
                [this, generation = job.generation, result = std::move(listing)] { deliver(generation, result); },
                Qt::QueuedConnection);
        }
    }
}

void FileListLoader::deliver(quint64 generation, const Listing& listing)
{
    if (generation == m_latest)
        Q_EMIT finished(generation, listing);
}

} // namespace orv
