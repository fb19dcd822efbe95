#include "browsing/core/folderentries.h"

#include "common/core/filenames.h"

#include <QDir>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

QString cleanFolderPath(const QString& path)
{
    QString p = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::current().absoluteFilePath(path));
    // QDir::cleanPath keeps ".." that climbs above the root; "/" has no parent.
    while (p == QLatin1String("/..") || p.startsWith(QLatin1String("/../")))
        p = p.size() == 3 ? QStringLiteral("/") : p.mid(3);
    if (p.isEmpty())
        p = QStringLiteral("/");
    return p;
}

bool canEnterFolder(const QString& path)
{
    struct stat st {};
    const QByteArray native = encodeFileName(path);
    if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return ::access(native.constData(), X_OK) == 0;
}

namespace {

bool listSubfolders(const QString& folder, QStringList& out)
{
    const QByteArray native = encodeFileName(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return false;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.')
            continue;
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            isDir = ::fstatat(fd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDir)
            out.append(decodeFileName(name));
    }
    ::closedir(dir);
    return true;
}

} // namespace

FolderEntries folderEntries(const QString& folder, bool withSubfolders)
{
    FolderEntries result;
    const QString path = cleanFolderPath(folder);

    QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    result.entries.append(FolderEntry{walked, walked, 0, true});
    int depth = 0;
    for (const QString& part : parts) {
        walked = walked == QLatin1String("/") ? walked + part : walked + QLatin1Char('/') + part;
        result.entries.append(FolderEntry{walked, part, ++depth, true});
    }
    result.currentIndex = int(result.entries.size()) - 1;

    QStringList subs;
    if (withSubfolders)
        result.readable = listSubfolders(path, subs);
    std::sort(subs.begin(), subs.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    const QString prefix = path == QLatin1String("/") ? path : path + QLatin1Char('/');
    for (const QString& s : subs)
        result.entries.append(FolderEntry{prefix + s, s, depth + 1, false});
    return result;
}

} // namespace orv
