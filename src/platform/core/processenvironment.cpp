#include "platform/core/processenvironment.h"

#include <QCoreApplication>
#include <QDir>

namespace orv {

RealProcessEnvironment::RealProcessEnvironment() : launch_(QDir::currentPath()) {}

QStringList RealProcessEnvironment::arguments() const
{
    if (argumentsSet_)
        return arguments_;
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args;
}

QString RealProcessEnvironment::launchFolder() const { return launch_; }

QString RealProcessEnvironment::executableFolder() const { return QCoreApplication::applicationDirPath(); }

QString RealProcessEnvironment::currentFolder() const { return QDir::currentPath(); }

bool RealProcessEnvironment::setCurrentFolder(const QString& path) { return QDir::setCurrent(path); }

} // namespace orv
