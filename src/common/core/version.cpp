#include "common/core/version.h"

namespace orv {

QString versionStamp()
{
    return QString::number(VersionMajor) + QString::number(VersionMinor) + QString::number(VersionRevision);
}

QString versionLabel()
{
    return QStringLiteral("v%1.%2").arg(VersionMajor).arg(VersionMinor);
}

QString versionText()
{
    return QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}

} // namespace orv
