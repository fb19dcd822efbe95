#pragma once

#include "browsing/core/wildcardpattern.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <stop_token>

#include <dirent.h>

namespace orv {

// One file of a listing. `raw` is the name as the file system holds it; `display` is the name
// as decodeFileName gives it -- shown in lists, and turned back into `raw` by encodeFileName.
struct FileEntry
{
    QByteArray raw;
    QString display;
};

// The files of one folder. `ok` is false when the folder could not be read (missing,
// unreadable, not a folder) -- then `files` is empty.
struct Listing
{
    QString folder;
    QList<FileEntry> files;
    bool ok = false;
};

struct FolderCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};
// A folder being read. Closing a folder of a million names takes the file system about as long
// as reading it (it frees the index it built of them).
using OpenFolder = std::unique_ptr<DIR, FolderCloser>;

// The regular files of `folder` (symbolic links to regular files too, no folders) whose names
// match `pattern`, sorted by name ignoring case, ties broken by the raw bytes. Reads the folder
// with readdir and stats only matching names whose type the directory entry leaves open.
// Thread-safe. When `stop` is requested the listing ends early, empty and not ok. With
// `keepOpen`, a folder read to its end is handed over there still open, for the caller to close
// once the listing is on its way.
Listing listFiles(const QString& folder, const WildcardPattern& pattern, std::stop_token stop = {},
                  OpenFolder* keepOpen = nullptr);

} // namespace orv
