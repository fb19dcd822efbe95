#include "platform/core/processenvironment.h"

#include "common/core/filenames.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace orv {

namespace {

// QDir::currentPath() decodes the folder's bytes and loses those that are not UTF-8.
QString workingFolder()
{
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return cwd ? decodeFileName(cwd.get()) : QString();
}

} // namespace

RealProcessEnvironment::RealProcessEnvironment() : launch_(workingFolder()) {}

QStringList RealProcessEnvironment::arguments() const { return arguments_; }

QString RealProcessEnvironment::launchFolder() const { return launch_; }

QString RealProcessEnvironment::executableFolder() const
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", target, sizeof target);
    if (n <= 0 || n >= ssize_t(sizeof target))
        return QCoreApplication::applicationDirPath();
    const QString path = decodeFileName(QByteArrayView(target, n));
    return path.left(std::max<qsizetype>(1, path.lastIndexOf(u'/')));
}

QString RealProcessEnvironment::currentFolder() const { return workingFolder(); }

bool RealProcessEnvironment::setCurrentFolder(const QString& path)
{
    return !path.isEmpty() && ::chdir(encodeFileName(path).constData()) == 0;
}

} // namespace orv
