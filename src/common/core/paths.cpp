#include "common/core/paths.h"

#include <QDir>

namespace orv {

QChar nativeSeparator() { return QDir::separator(); }

QString CapitalizePath(QString& path, QChar separator)
{
    // The previous character is judged as it was before any replacement.
    QChar prev;
    bool first = true;
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = path.at(i);
        if (first || prev == separator) {
            const QString up = QString(c).toUpper();
            // Keep the length: a letter whose upper case is longer (ß) stays as it is.
            if (up.size() == 1)
                path[i] = up.at(0);
        }
        prev = c;
        first = false;
    }
    return path;
}

QString ParentFolder(const QString& path, QChar separator)
{
    const qsizetype p = path.lastIndexOf(separator);
    if (p < 0)
        return kNoParent;
    if (p == 0 && separator == QLatin1Char('/'))
        return QStringLiteral("/");
    return path.left(p);
}

QString displayFolder(const QString& path)
{
    if (!namesIgnoreCase() || path.isEmpty())
        return path;
    QString s = path.left(1) + path.mid(1).toLower();
    return CapitalizePath(s);
}

} // namespace orv
