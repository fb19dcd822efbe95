#include "browsing/core/listing.h"

#include "common/core/filenames.h"


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

    const std::unique_ptr<DIR, DirCloser> dir(::opendir(encodeFileName(folder).constData()));
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
        // no allocation. Others decode exactly as they will be shown, bytes that are not UTF-8
        // kept so the name still opens the file.
        const std::size_t length = std::strlen(name);
        QString display;
        if (length <= NAME_MAX && isAscii(name, length)) {
            std::copy(name, name + length, wide);
            const QStringView view(wide, qsizetype(length));
            if (!pattern.matches(view))
                continue;
            display = view.toString();
        } else {
            display = decodeFileName(QByteArrayView(name, qsizetype(length)));
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

} // namespace orv
