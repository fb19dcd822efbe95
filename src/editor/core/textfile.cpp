#include "editor/core/textfile.h"

#include "common/core/filenames.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

QString describe(int error) { return qt_error_string(error); }

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

TextFileRead failure(TextFileRead::Status status, int error)
{
    TextFileRead r;
    r.status = status;
    r.systemError = describe(error);
    return r;
}

// Where a write to path really lands: the end of a chain of symbolic links, so that the
// rename replaces the file and not the link.
QByteArray writeTarget(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved) != nullptr)
        return QByteArray(resolved);
    // A link to nothing yet: write where it points.
    QByteArray link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.constData(), link.data(), size_t(link.size()));
    if (n <= 0 || n >= link.size())
        return path;
    link.truncate(n);
    if (link.startsWith('/'))
        return link;
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? link : path.left(slash + 1) + link;
}

// A hidden name beside the target, short enough for any file system.
QByteArray temporaryName(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    QByteArray base = target.mid(slash + 1).left(200);
    // Do not leave half a UTF-8 character at the cut.
    while (!base.isEmpty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
        base.chop(1);
    if (!base.isEmpty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0xC0)
        base.chop(1);
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray tag(8, 'x');
    // Drawn from the system each time: processes forked from one parent share the seeded
    // generator's state and would all try the same names, which a killed save leaves taken.
    for (char& c : tag)
        c = kLetters[QRandomGenerator::system()->bounded(int(sizeof kLetters) - 1)];
    return folder + '.' + base + ".save-" + tag;
}

void syncFolder(const QByteArray& file)
{
    const qsizetype slash = file.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : file.left(slash);
    const int fd = openRetrying(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

TextFileRead readTextFileFrom(int fd, qint64 maxBytes)
{
    const qint64 limit = std::min(maxBytes, kReadCeiling);
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return failure(TextFileRead::Status::ReadFailed, errno);
    if (st.st_size > limit)
        return failure(TextFileRead::Status::TooLarge, EFBIG);

    QByteArray bytes;
    // Some files (under /proc, for one) report no size and still hold text.
    bytes.resize(qsizetype(std::max<qint64>(st.st_size, 4096)) + 1);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, qsizetype(limit) + 1));
        const ssize_t n = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failure(TextFileRead::Status::ReadFailed, errno);
        }
        if (n == 0)
            break;
        used += n;
        // The file grew past the limit while it was read.
        if (used > limit)
            return failure(TextFileRead::Status::TooLarge, EFBIG);
    }
    bytes.truncate(used);

    DecodedText decoded = decodeText(bytes);
    TextFileRead r;
    r.status = TextFileRead::Status::Ok;
    r.text = std::move(decoded.text);
    r.format = std::move(decoded.format);
    return r;
}

TextFileRead readTextFile(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty())
        return failure(TextFileRead::Status::CannotOpen, ENOENT);
    const QByteArray name = encodeFileName(path);
    // Not blocking, so that a named pipe cannot hang the program before it is refused.
    const int fd = openRetrying(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(TextFileRead::Status::CannotOpen, errno);
    struct stat st;
    TextFileRead r;
    if (::fstat(fd, &st) != 0)
        r = failure(TextFileRead::Status::CannotOpen, errno);
    else if (S_ISDIR(st.st_mode))
        r = failure(TextFileRead::Status::CannotOpen, EISDIR);
    else if (!S_ISREG(st.st_mode))
        r = failure(TextFileRead::Status::CannotOpen, EINVAL);
    else
        r = readTextFileFrom(fd, maxBytes);
    ::close(fd);
    return r;
}

std::optional<qint64> fileSizeOnDisk(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(encodeFileName(path).constData(), &st) != 0)
        return std::nullopt;
    return qint64(st.st_size);
}

FileWrite replaceFileContents(const QString& path, QByteArrayView bytes)
{
    FileWrite result;
    if (path.isEmpty()) {
        result.systemError = describe(ENOENT);
        return result;
    }
    const QByteArray target = writeTarget(encodeFileName(path));
    struct stat old;
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        result.systemError = describe(EISDIR);
        return result;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        // Renaming over a device or a pipe would replace it, not write to it.
        result.systemError = describe(EINVAL);
        return result;
    }

    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = temporaryName(target);
        fd = openRetrying(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        result.systemError = describe(errno);
        return result;
    }

    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        result.systemError = describe(error);
        return result;
    };
    if (exists) {
        // Keep the owner where the system lets us; a file that changes hands does not pass
        // its group's or others' write permission to our group.
        const bool ownerKept = ::fchown(fd, old.st_uid, old.st_gid) == 0;
        if (::fchmod(fd, old.st_mode & (ownerKept ? 0777 : 0755)) != 0)
            return fail(errno);
    }
    if (!writeAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        result.systemError = describe(error);
        return result;
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        result.systemError = describe(error);
        return result;
    }
    syncFolder(target);
    result.ok = true;
    return result;
}

TextFileWrite writeTextFile(const QString& path, QStringView text, const TextFormat& format)
{
    EncodedText encoded = encodeText(text, format);
    const FileWrite written = replaceFileContents(path, encoded.bytes);
    TextFileWrite r;
    r.ok = written.ok;
    r.systemError = written.systemError;
    r.format = r.ok ? std::move(encoded.format) : format;
    r.switchedToUtf8 = r.ok && encoded.switchedToUtf8;
    return r;
}

} // namespace orv
