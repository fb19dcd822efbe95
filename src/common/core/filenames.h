#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QFile;
class QUrl;

namespace orv {

// File names as the program carries them. Linux names are bytes and need not be valid UTF-8;
// QFile::decodeName turns such bytes into U+FFFD and the file can no longer be opened by that
// name. decodeFileName keeps each byte that is not part of valid UTF-8 as the lone surrogate
// U+DC80..U+DCFF, which valid UTF-8 can never produce, and encodeFileName turns it back, so a
// path survives the round trip byte for byte. Paths built from such names must be opened
// through encodeFileName (or the helpers below), never through QFile(path) or QFileInfo.
QString decodeFileName(QByteArrayView native);
QByteArray encodeFileName(QStringView name);

// The name as a person reads it: each kept byte shows as U+FFFD.
QString printableFileName(QStringView name);

// Whether `path` names a regular file (following links).
bool isRegularFile(const QString& path);
// Whether `path` names a folder (following links).
bool isFolder(const QString& path);
// Whether anything is there at `path` (following links).
bool pathExists(const QString& path);

// The path of a file URL, byte for byte: percent-encoded bytes that are not UTF-8 come back as
// decodeFileName keeps them. Its host is not looked at.
QString localFilePath(const QUrl& url);
// A file URL naming the absolute `path` byte for byte; QUrl::fromLocalFile would store the
// kept bytes as UTF-8 and so name another file.
QUrl localFileUrl(const QString& path);

// Opens `file` read-only on the regular file `path`, by its real bytes, never waiting. On failure `file` stays closed and the
// system's reason is returned; an empty string means it opened.
QString openForReading(QFile& file, const QString& path);

} // namespace orv
