#include "browsing/core/folderbrowser.h"

#include "browsing/core/folderentries.h"
#include "common/core/filenames.h"
#include "platform/core/processenvironment.h"
#include "platform/core/volumelist.h"

#include <QDir>

namespace orv {

namespace {
const QString kTopRoot = QStringLiteral("/");
}

FolderBrowser::FolderBrowser(VolumeList& volumes, ProcessEnvironment& process, QObject* parent)
    : QObject(parent), volumes_(volumes), process_(process)
{
}

QString FolderBrowser::drive() const
{
    return volumeRootOf(folder_, volumes_.volumes());
}

void FolderBrowser::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    Q_EMIT patternChanged(pattern_);
}

bool FolderBrowser::enter(const QString& path)
{
    const QString clean = cleanFolderPath(path);
    if (!canEnterFolder(clean))
        return false;
    folder_ = clean;
    Q_EMIT folderChanged(folder_);
    return true;
}

void FolderBrowser::enterOrFallback(const QString& path)
{
    if (enter(path) || enter(process_.currentFolder()) || enter(programVolumeRoot()))
        return;
    enter(kTopRoot);
}

void FolderBrowser::enterParent()
{
    // The root of a volume has no parent here.
    if (folder_.isEmpty() || folder_ == drive())
        return;
    enter(folder_ + QStringLiteral("/.."));
}

void FolderBrowser::enterRoot()
{
    if (!folder_.isEmpty())
        enter(drive());
}

bool FolderBrowser::enterDrive(const QString& root)
{
    const QString cwd = process_.currentFolder();
    const QString target = volumeRootOf(cwd, volumes_.volumes()) == root ? cwd : root;
    return volumes_.isReady(root) && enter(target);
}

QString FolderBrowser::fallbackDrive(const QString& failed) const
{
    const QString fallback = volumeRootOf(process_.currentFolder(), volumes_.volumes());
    return fallback != failed && volumes_.isReady(fallback) ? fallback : QString();
}

QString FolderBrowser::programVolumeRoot() const
{
    return volumeRootOf(process_.executableFolder(), volumes_.volumes());
}

QString FolderBrowser::makeStartFolderCurrent(const QString& stored)
{
    QString start = stored.isEmpty() ? programVolumeRoot() : stored;
    if (process_.setCurrentFolder(start))
        return start;
    // A start folder that has gone (a removed disc, a deleted folder) is not fatal.
    start = programVolumeRoot();
    if (!process_.setCurrentFolder(start)) {
        start = kTopRoot;
        process_.setCurrentFolder(start);
    }
    return start;
}

QString FolderBrowser::commandLinePath() const
{
    QString cmd = process_.arguments().join(QLatin1Char(' '));
    if (cmd.isEmpty())
        return cmd;
    // A path wrapped in double quotes (as some launchers pass it) names the path inside.
    if (cmd.size() >= 2 && cmd.startsWith(QLatin1Char('"')) && cmd.endsWith(QLatin1Char('"'))
        && !pathExists(cmd))
        cmd = cmd.mid(1, cmd.size() - 2);
    if (QDir::isRelativePath(cmd))
        cmd = QDir(process_.launchFolder()).absoluteFilePath(cmd);
    return cmd;
}

} // namespace orv
