#include "platform/processlauncher.h"

#include <QProcess>

namespace orv {

bool DetachedProcessLauncher::startDetached(const QString& program, const QStringList& arguments,
                                            const QString& workingDirectory)
{
    // A bare name would be looked up in PATH; callers always resolve the program first.
    if (!program.startsWith(u'/'))
        return false;
    return QProcess::startDetached(program, arguments, workingDirectory);
}

} // namespace orv
