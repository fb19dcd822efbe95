#pragma once

#include <QChar>
#include <QString>

namespace orv {

// The platform's folder separator ('/' here).
QChar nativeSeparator();

// Upper-cases the first character and every character that follows a separator, in the
// caller's text too. Only meaningful where file names ignore case (see namesIgnoreCase()).
QString CapitalizePath(QString& path, QChar separator = nativeSeparator());

// The text before the last separator, or "[@error]" when there is none.
// With the '/' separator a file directly in "/" has the parent "/".
QString ParentFolder(const QString& path, QChar separator = nativeSeparator());

inline const QString kNoParent = QStringLiteral("[@error]");

// Whether this platform's file names ignore letter case. False on Linux: no path that is
// opened, stored or shown has its case changed here.
constexpr bool namesIgnoreCase() { return false; }

// How a folder path is shown in status texts: on a case-insensitive platform the first letter
// of each part upper-cased and the rest lower-cased; here, unchanged.
QString displayFolder(const QString& path);

} // namespace orv
