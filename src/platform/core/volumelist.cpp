#include "platform/core/volumelist.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace orv {

QString volumeRootOf(const QString& path, const QList<Volume>& volumes)
{
    QString best = QStringLiteral("/");
    for (const Volume& v : volumes) {
        const QString& r = v.root;
        if (r.size() <= best.size())
            continue;
        const bool inside = path == r
            || (path.startsWith(r) && (r.endsWith(QLatin1Char('/')) || path.at(r.size()) == QLatin1Char('/')));
        if (inside)
            best = r;
    }
    return best;
}

namespace {

bool isPseudo(const QByteArray& type)
{
    static const char* const pseudo[] = {
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "cgroup", "cgroup2", "securityfs",
        "pstore", "debugfs", "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "bpf",
        "autofs", "binfmt_misc", "rpc_pipefs", "nsfs", "efivarfs", "overlay_internal", "ramfs",
        "squashfs", "fuse.portal", "fuse.gvfsd-fuse", "nfsd", "selinuxfs"};
    return std::any_of(std::begin(pseudo), std::end(pseudo), [&](const char* p) { return type == p; });
}

bool isSystemMount(const QString& root)
{
    static const QString prefixes[] = {QStringLiteral("/proc"), QStringLiteral("/sys"),
                                       QStringLiteral("/dev"), QStringLiteral("/run"),
                                       QStringLiteral("/boot/efi"), QStringLiteral("/snap"),
                                       QStringLiteral("/etc")};
    for (const QString& p : prefixes)
        if (root == p || root.startsWith(p + QLatin1Char('/')))
            return true;
    return false;
}

} // namespace

QList<Volume> StorageVolumeList::volumes() const
{
    QList<Volume> out;
    bool haveRoot = false;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        const QString root = s.rootPath();
        if (isPseudo(s.fileSystemType()) || isSystemMount(root))
            continue;
        // Bind mounts of single files (container set-ups) are not folders to browse.
        if (!QFileInfo(root).isDir())
            continue;
        if (std::any_of(out.cbegin(), out.cend(), [&](const Volume& v) { return v.root == root; }))
            continue;
        Volume v;
        v.root = root;
        const QString name = s.displayName();
        v.label = (name.isEmpty() || name == root) ? root : root + QStringLiteral("  [") + name + QLatin1Char(']');
        v.ready = s.isValid() && s.isReady();
        haveRoot = haveRoot || root == QLatin1String("/");
        out.append(v);
    }
    if (!haveRoot)
        out.append(Volume{QStringLiteral("/"), QStringLiteral("/"), true});
    std::sort(out.begin(), out.end(), [](const Volume& a, const Volume& b) {
        if (a.root == QLatin1String("/") || b.root == QLatin1String("/"))
            return a.root == QLatin1String("/") && b.root != QLatin1String("/");
        return a.root < b.root;
    });
    return out;
}

bool StorageVolumeList::isReady(const QString& root) const
{
    const QStorageInfo s(root);
    return s.isValid() && s.isReady() && QDir(root).isReadable();
}

} // namespace orv
