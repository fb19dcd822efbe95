#include "platform/libraryfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace orv {

QString privateLibraryFolder()
{
    // applicationDirPath follows symbolic links, so a link to the program in another folder
    // still finds the libraries of the copy it points to.
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/'
                           + QStringLiteral(ORVANE_LIBDIR_FROM_BINDIR));
}

} // namespace orv
