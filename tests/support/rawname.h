#pragma once

// Files whose names are not valid UTF-8, made with the system calls because Qt's own file
// functions cannot name them. Link orvane_common_core.

#include "common/core/filenames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv::test {

// A name with bytes that are not UTF-8 (a Latin-1 é, a stray continuation byte, 0xFF).
inline QByteArray notUtf8Name(QByteArrayView extension)
{
    QByteArray name("caf\xe9 \x80\xff.");
    return name.append(extension);
}

// Writes `bytes` to `folder`/`rawName` and gives the path the way the program carries it (the
// folder listing's name appended to the folder); empty when the file could not be made.
inline QString writeRawNamed(const QString& folder, const QByteArray& rawName, const QByteArray& bytes)
{
    const QByteArray native = encodeFileName(folder) + '/' + rawName;
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return {};
    const bool written = ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return written ? folder + u'/' + decodeFileName(rawName) : QString();
}

// Makes the folder `parent`/`rawName`; its path as the program carries it, empty on failure.
inline QString makeRawNamedFolder(const QString& parent, const QByteArray& rawName)
{
    const QByteArray native = encodeFileName(parent) + '/' + rawName;
    return ::mkdir(native.constData(), 0755) == 0 ? parent + u'/' + decodeFileName(rawName) : QString();
}

// How many entries `folder` holds, whatever their names.
inline int entryCount(const QString& folder)
{
    DIR* dir = ::opendir(encodeFileName(folder).constData());
    if (!dir)
        return -1;
    int n = 0;
    while (const dirent* e = ::readdir(dir))
        n += std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
    ::closedir(dir);
    return n;
}

inline QString copyRawNamed(const QString& source, const QString& folder, const QByteArray& rawName)
{
    QFile in(source);
    return in.open(QIODevice::ReadOnly) ? writeRawNamed(folder, rawName, in.readAll()) : QString();
}

} // namespace orv::test
