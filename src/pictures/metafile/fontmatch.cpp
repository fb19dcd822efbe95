#include "fontmatch.h"

#include <QFont>
#include <QFontInfo>
#include <QHash>
#include <QMutex>

namespace orv {

QString installedFamily(const QString& face)
{
    static QMutex mutex;
    static QHash<QString, QString> known;
    const QMutexLocker lock(&mutex);
    const auto it = known.constFind(face);
    if (it != known.constEnd())
        return *it;
    // A style hint would make Qt skip fontconfig's substitutions, so the probes carry none.
    static const QString fallback = QFontInfo(QFont(QStringLiteral("orvane no such family"))).family();
    const QString resolved = QFontInfo(QFont(face)).family();
    const bool substitute = !resolved.isEmpty()
        && (resolved != fallback || resolved.startsWith(face, Qt::CaseInsensitive));
    return *known.insert(face, substitute ? resolved : QString());
}

} // namespace orv
