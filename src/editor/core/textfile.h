#pragma once

#include "editor/core/textformat.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace orv {

// The Open command refuses files larger than this many bytes on disk.
inline constexpr qint64 kOpenSizeLimit = 65000;
// No read takes more than this, whatever the caller's limit: a path from the recent files may
// have grown into something no text box should hold.
inline constexpr qint64 kReadCeiling = qint64(16) * 1024 * 1024;

struct TextFileRead {
    enum class Status { Ok, CannotOpen, TooLarge, ReadFailed };
    Status status = Status::CannotOpen;
    QString text;  // in-editor form; empty unless Ok
    TextFormat format;
    QString systemError;  // the system's description of a failure
    bool ok() const { return status == Status::Ok; }
};

// Reads a whole regular file (nothing else is opened: a folder, a pipe or a device is
// CannotOpen). A read that fails after the file opened is ReadFailed, never part of the text.
TextFileRead readTextFile(const QString& path, qint64 maxBytes = kReadCeiling);
// The same on a descriptor opened for reading; the caller keeps and closes it.
TextFileRead readTextFileFrom(int fd, qint64 maxBytes = kReadCeiling);

// The file's length in bytes as the file system reports it; nullopt when it cannot be had.
std::optional<qint64> fileSizeOnDisk(const QString& path);

struct FileWrite {
    bool ok = false;
    QString systemError;
};

// Replaces the file's contents so that a failed or killed write never damages what was there:
// a temporary file beside the target is written, flushed to disk and renamed over it. The
// file's permissions are kept; a symbolic link is followed and stays a link.
FileWrite replaceFileContents(const QString& path, QByteArrayView bytes);

struct TextFileWrite {
    bool ok = false;
    QString systemError;
    TextFormat format;  // the format now on disk (see EncodedText)
    bool switchedToUtf8 = false;
};

// Encodes the in-editor text in the format and replaces the file with it.
TextFileWrite writeTextFile(const QString& path, QStringView text, const TextFormat& format);

} // namespace orv
