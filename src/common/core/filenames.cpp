#include "common/core/filenames.h"

#include <QFile>
#include <QUrl>
#include <QUtf8StringView>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes), 0 when there is none.
int validSequence(const unsigned char* p, qsizetype left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int length;
    char32_t min;
    char32_t code;
    if ((c & 0xE0) == 0xC0) {
        length = 2, min = 0x80, code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, min = 0x800, code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, code = c & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(p[i]))
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past Unicode are not valid UTF-8.
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decodeFileName(QByteArrayView native)
{
    if (QUtf8StringView(native.data(), native.size()).isValidUtf8())
        return QString::fromUtf8(native);
    QString out;
    out.reserve(native.size());
    const auto* p = reinterpret_cast<const unsigned char*>(native.data());
    const qsizetype size = native.size();
    for (qsizetype i = 0; i < size;) {
        const int n = validSequence(p + i, size - i);
        if (n == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[i])));
            ++i;
        } else {
            out.append(QString::fromUtf8(reinterpret_cast<const char*>(p + i), n));
            i += n;
        }
    }
    return out;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c < kEscapeBase + 0x80 || c > kEscapeBase + 0xFF)
            continue;
        // A lone low surrogate; one following a high surrogate is half of a real character.
        if (i > 0 && name[i - 1].isHighSurrogate())
            continue;
        out.append(name.mid(runStart, i - runStart).toUtf8());
        out.append(char(c - kEscapeBase));
        runStart = i + 1;
    }
    out.append(name.mid(runStart).toUtf8());
    return out;
}

QString printableFileName(QStringView name)
{
    QString out = name.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !out[i - 1].isHighSurrogate()))
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

bool isRegularFile(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0;
}

QString localFilePath(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    return decodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QUrl localFileUrl(const QString& path)
{
    if (!path.startsWith(u'/'))
        return QUrl::fromLocalFile(path);
    return QUrl::fromEncoded("file://" + encodeFileName(path).toPercentEncoding("/"), QUrl::StrictMode);
}

QString openForReading(QFile& file, const QString& path)
{
    int fd;
    do {
        // Non-blocking: a FIFO must not hang the caller.
        fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("not a regular file");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
}

} // namespace orv
