#include "fakeplatform.h"

#include <QFileInfo>

namespace orv::test {

bool FakeProcessEnvironment::setCurrentFolder(const QString& path)
{
    currentFolderCalls.append(path);
    const QFileInfo fi(path);
    if (!fi.isDir() || !fi.isExecutable())
        return false;
    current = fi.absoluteFilePath();
    return true;
}

} // namespace orv::test
