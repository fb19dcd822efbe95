#pragma once

#include <QList>
#include <QString>

namespace orv {

// One line of the folder list: the open folders from "/" down to the current one, then the
// current folder's sub-folders.
struct FolderEntry {
    QString path;
    QString label;
    int depth = 0;
    bool open = false;  // an ancestor or the current folder itself
};

struct FolderEntries {
    QList<FolderEntry> entries;
    int currentIndex = -1;  // the line of the current folder
    bool readable = true;   // false when the sub-folders could not be listed
};

// Absolute and clean ("/a/b/.." -> "/a"), no trailing separator except for "/".
QString cleanFolderPath(const QString& path);

// Sub-folders are sorted case-insensitively; hidden ones (leading '.') are left out.
// Fast on huge folders: reads the folder once with readdir and d_type.
FolderEntries folderEntries(const QString& folder, bool withSubfolders = true);

// Whether path names a folder that can be entered (exists, is a folder, is searchable).
bool canEnterFolder(const QString& path);

} // namespace orv
