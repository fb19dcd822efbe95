#include "common/core/settingsstore.h"

#include "common/core/settingsfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <utility>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

using namespace Qt::StringLiterals;

namespace {

Q_LOGGING_CATEGORY(lcSettings, "orvane.settings")

// Far above anything the program stores; a bigger file is not ours.
constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

// What a cached parse is valid for. Every write gives the file a later mtime than the one it
// replaces, so a state never repeats even when an inode is reused within one clock tick.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};

    static FileIdentity of(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && mtime.tv_sec == o.mtime.tv_sec
            && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

bool later(const timespec& a, const timespec& b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

int closeFd(int fd)
{
    // Linux releases the descriptor even when close() reports EINTR; never retry.
    return ::close(fd);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            closeFd(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

int openRetrying(const QByteArray& path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path.constData(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, const QByteArray& data)
{
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void syncFolder(const QByteArray& folder)
{
    FileDescriptor fd(openRetrying(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// Creates the missing folders of an absolute path, each private to the user.
bool makeFolders(const QByteArray& path)
{
    for (qsizetype slash = path.indexOf('/', 1); ; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? path : path.first(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            break;
    }
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// Exclusive advisory lock shared by every writer of one folder; released on close, so also
// when a process dies holding it.
class FolderLock {
public:
    // Non-blocking open: a FIFO put in the lock file's place must not hang the program.
    explicit FolderLock(const QByteArray& lockPath)
        : fd_(openRetrying(lockPath, O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600))
    {
        struct stat st;
        if (!fd_.valid() || ::fstat(fd_.get(), &st) != 0) {
            error_ = errno;
            return;
        }
        if (!S_ISREG(st.st_mode)) {
            error_ = EINVAL;
            return;
        }
        int r;
        do {
            r = ::flock(fd_.get(), LOCK_EX);
        } while (r != 0 && errno == EINTR);
        error_ = r == 0 ? 0 : errno;
    }
    bool held() const { return error_ == 0; }
    // Why it is not held.
    QString reason() const
    {
        return error_ == EINVAL ? u"settings.lock is no regular file"_s : qt_error_string(error_);
    }

private:
    FileDescriptor fd_;
    int error_ = 0;
};

enum class FileState { Missing, Good, Bad };

struct Loaded {
    FileState state = FileState::Missing;
    bool identified = false;
    FileIdentity identity;
    SettingsDocument doc;
};

Loaded load(const QByteArray& path)
{
    Loaded result;
    // Non-blocking so a FIFO put in the file's place cannot hang the program.
    FileDescriptor fd(openRetrying(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
        result.state = errno == ENOENT ? FileState::Missing : FileState::Bad;
        return result;
    }
    result.state = FileState::Bad;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return result;
    result.identified = true;
    result.identity = FileIdentity::of(st);
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileSize)
        return result;

    // The file is replaced, never rewritten in place, so what this descriptor sees is stable.
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return result;
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    if (parseSettingsFile(bytes, result.doc))
        result.state = FileState::Good;
    return result;
}

bool validApplicationName(const QString& app)
{
    return !app.isEmpty() && app != u"." && app != u".." && !app.contains(u'/') && !app.contains(QChar(u'\0'));
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return QFile::decodeName(pw->pw_dir);
    return QDir::rootPath();
}

} // namespace

struct SettingsStore::Impl {
    struct Cached {
        QByteArray path;
        bool valid = false;
        FileIdentity identity;
        SettingsDocument doc;
    };

    // Settings whose file cannot be written live here for the rest of the run, so the program
    // still reads back what it wrote; the file is no longer read or written.
    struct Detached {
        SettingsDocument doc;
        QString reason;
    };

    QString root;
    QString lastSetAside;
    QHash<QString, Cached> cache;
    QHash<QString, Detached> detached;
    QHash<QString, QString> setAsideOf;

    QString folder(const QString& app) const { return root + u'/' + app; }
    QString file(const QString& app) const { return folder(app) + u"/settings.ini"_s; }

    Cached& entry(const QString& app)
    {
        Cached& c = cache[app];
        if (c.path.isEmpty())
            c.path = QFile::encodeName(file(app));
        return c;
    }

    static void remember(Cached& c, Loaded&& loaded)
    {
        c.valid = loaded.identified;
        c.identity = loaded.identity;
        c.doc = std::move(loaded.doc);
    }

    // Renames a bad file out of the way; the caller holds the folder lock. 0 or the error.
    int setAside(const QString& app)
    {
        const QString base =
            file(app) + u".corrupt-"_s + QDateTime::currentDateTime().toString(u"yyyyMMdd-hhmmss"_s);
        QString target = base;
        int error = EEXIST;
        for (int n = 1; n < 10000; ++n) {
            struct stat st;
            const QByteArray encoded = QFile::encodeName(target);
            if (::lstat(encoded.constData(), &st) != 0) {
                error = errno;
                if (error != ENOENT)
                    break;
                if (::rename(entry(app).path.constData(), encoded.constData()) != 0) {
                    error = errno;
                    break;
                }
                syncFolder(QFile::encodeName(folder(app)));
                lastSetAside = target;
                setAsideOf.insert(app, target);
                qCWarning(lcSettings, "Unreadable settings file kept as %s", qUtf8Printable(target));
                return 0;
            }
            target = base + u'-' + QString::number(n);
        }
        qCWarning(lcSettings, "Cannot set aside the unreadable settings file %s", qUtf8Printable(file(app)));
        return error;
    }

    QByteArray lockPath(const QString& app) const { return QFile::encodeName(folder(app) + u"/settings.lock"_s); }

    // Under the lock, so a file another instance has just repaired is not moved away.
    Loaded recover(const QString& app)
    {
        FolderLock lock(lockPath(app));
        Loaded loaded = load(entry(app).path);
        if (loaded.state != FileState::Bad || !lock.held())
            return loaded;
        if (setAside(app) == 0)
            return Loaded();
        return loaded;
    }

    const SettingsDocument& current(const QString& app)
    {
        if (const auto it = detached.constFind(app); it != detached.cend())
            return it->doc;
        Cached& c = entry(app);
        struct stat st;
        if (::stat(c.path.constData(), &st) != 0) {
            c.valid = false;
            c.doc = SettingsDocument();
            return c.doc;
        }
        if (c.valid && c.identity == FileIdentity::of(st))
            return c.doc;
        Loaded loaded = load(c.path);
        if (loaded.state == FileState::Bad)
            loaded = recover(app);
        remember(c, std::move(loaded));
        return c.doc;
    }

    // A new temporary file beside the settings file; a writer killed before its rename left
    // its own behind.
    FileDescriptor createTemporary(const QByteArray& temp)
    {
        if (::unlink(temp.constData()) != 0 && errno != ENOENT)
            return FileDescriptor();
        return FileDescriptor(openRetrying(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    }

    // false with errno set on failure.
    bool replace(const QString& app, const QByteArray& content, const Loaded& previous, FileIdentity& written)
    {
        const QByteArray path = entry(app).path;
        const QByteArray temp = path + ".tmp";
        FileDescriptor fd = createTemporary(temp);
        if (!fd.valid())
            return false;
        struct stat st;
        bool ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), content) && ::fsync(fd.get()) == 0
            && ::fstat(fd.get(), &st) == 0;
        if (ok && previous.identified && !later(st.st_mtim, previous.identity.mtime)) {
            timespec times[2];
            times[0].tv_sec = 0;
            times[0].tv_nsec = UTIME_OMIT;
            times[1] = previous.identity.mtime;
            if (++times[1].tv_nsec >= 1000000000L) {
                times[1].tv_nsec = 0;
                ++times[1].tv_sec;
            }
            ok = ::futimens(fd.get(), times) == 0 && ::fstat(fd.get(), &st) == 0;
        }
        ok = closeFd(fd.release()) == 0 && ok;
        if (ok)
            ok = ::rename(temp.constData(), path.constData()) == 0;
        if (!ok) {
            const int error = errno;
            ::unlink(temp.constData());
            errno = error;
            return false;
        }
        syncFolder(QFile::encodeName(folder(app)));
        written = FileIdentity::of(st);
        return true;
    }

    void detach(const QString& app, SettingsDocument doc, const QString& reason)
    {
        qCWarning(lcSettings, "Settings in %s cannot be kept (%s); they last until the program ends",
                  qUtf8Printable(folder(app)), qUtf8Printable(reason));
        detached.insert(app, Detached{std::move(doc), reason});
        cache.remove(app);
    }

    // What could be read, changed, kept in memory from now on.
    void keepInMemory(const QString& app, const std::function<bool(SettingsDocument&)>& change, const QString& reason)
    {
        SettingsDocument doc = current(app);
        change(doc);
        detach(app, std::move(doc), reason);
    }

    void modify(const QString& app, const std::function<bool(SettingsDocument&)>& change)
    {
        if (!validApplicationName(app))
            return;
        if (const auto it = detached.find(app); it != detached.end()) {
            change(it->doc);
            return;
        }
        if (!makeFolders(QFile::encodeName(folder(app))))
            return keepInMemory(app, change, qt_error_string(errno));
        FolderLock lock(lockPath(app));
        if (!lock.held())
            return keepInMemory(app, change, lock.reason());
        // Another instance may have written since this one last looked.
        Loaded loaded = load(entry(app).path);
        if (loaded.state == FileState::Bad) {
            if (const int error = setAside(app)) {
                // The defaults, as a read gives; a read now would wait for this very lock.
                change(loaded.doc);
                return detach(app, std::move(loaded.doc), qt_error_string(error));
            }
            loaded = Loaded();
        }
        Cached& c = entry(app);
        if (!change(loaded.doc)) {
            remember(c, std::move(loaded));
            return;
        }
        FileIdentity written;
        if (!replace(app, serializeSettingsFile(loaded.doc), loaded, written))
            return detach(app, std::move(loaded.doc), qt_error_string(errno));
        c.valid = true;
        c.identity = written;
        c.doc = std::move(loaded.doc);
    }

    // Whether a write would reach the file, found by writing what it holds to the temporary
    // name writers use and removing that again. Empty, or why not.
    QString probe(const QString& app)
    {
        if (!makeFolders(QFile::encodeName(folder(app))))
            return qt_error_string(errno);
        FolderLock lock(lockPath(app));
        if (!lock.held())
            return lock.reason();
        Loaded loaded = load(entry(app).path);
        if (loaded.state == FileState::Bad) {
            if (const int error = setAside(app))
                return qt_error_string(error);
            loaded = Loaded();
        }
        const QByteArray temp = entry(app).path + ".tmp";
        FileDescriptor fd = createTemporary(temp);
        if (!fd.valid())
            return qt_error_string(errno);
        const bool ok = writeAll(fd.get(), serializeSettingsFile(loaded.doc));
        const QString reason = ok ? QString() : qt_error_string(errno);
        closeFd(fd.release());
        ::unlink(temp.constData());
        remember(entry(app), std::move(loaded));
        return reason;
    }
};

SettingsStore::SettingsStore(QString root) : d(new Impl)
{
    if (root.isEmpty())
        root = defaultRoot();
    d->root = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
}

SettingsStore::~SettingsStore() { delete d; }

QString SettingsStore::defaultRoot()
{
    // Relative values are invalid by the XDG rules and are ignored.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(config))
        return QDir::cleanPath(config);
    return QDir::cleanPath(homeFolder() + u"/.config"_s);
}

QString SettingsStore::read(const QString& app, const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    if (!validApplicationName(app))
        return defaultValue;
    const SettingsSection* s = d->current(app).find(section);
    if (!s)
        return defaultValue;
    const auto it = s->index.constFind(key);
    return it == s->index.cend() ? defaultValue : s->entries[*it].second;
}

void SettingsStore::write(const QString& app, const QString& section, const QString& key, const QString& value)
{
    d->modify(app, [&](SettingsDocument& doc) { return doc.set(doc.sectionIndex(section), key, value); });
}

void SettingsStore::writeSection(const QString& app, const QString& section,
                                 const QList<QPair<QString, QString>>& values)
{
    d->modify(app, [&](SettingsDocument& doc) {
        bool changed = false;
        const qsizetype si = doc.sectionIndex(section);
        for (const auto& kv : values)
            changed = doc.set(si, kv.first, kv.second) || changed;
        return changed;
    });
}

void SettingsStore::removeKey(const QString& app, const QString& section, const QString& key)
{
    d->modify(app, [&](SettingsDocument& doc) { return doc.remove(section, key); });
}

void SettingsStore::deleteApplication(const QString& app)
{
    // The file stays, holding nothing, so its identity keeps moving forward for other readers.
    d->modify(app, [](SettingsDocument& doc) { return doc.clear(); });
}

QList<QPair<QString, QString>> SettingsStore::listSection(const QString& app, const QString& section) const
{
    if (!validApplicationName(app))
        return {};
    const SettingsSection* s = d->current(app).find(section);
    return s ? s->entries : QList<QPair<QString, QString>>();
}

QString SettingsStore::filePath(const QString& app) const
{
    return validApplicationName(app) ? d->file(app) : QString();
}

QString SettingsStore::lastSetAside() const { return d->lastSetAside; }

SettingsStore::Status SettingsStore::check(const QString& app)
{
    Status status;
    if (!validApplicationName(app)) {
        status.kept = false;
        status.reason = qt_error_string(EINVAL);
        return status;
    }
    if (!d->detached.contains(app)) {
        if (const QString reason = d->probe(app); !reason.isEmpty())
            d->keepInMemory(app, [](SettingsDocument&) { return false; }, reason);
    }
    status.setAside = d->setAsideOf.value(app);
    if (const auto it = d->detached.constFind(app); it != d->detached.cend()) {
        status.kept = false;
        status.reason = it->reason;
    }
    return status;
}

} // namespace orv
