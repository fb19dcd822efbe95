#include "browsing/core/filelistmodel.h"

#include "common/core/filenames.h"

#include <utility>

namespace orv {

FileListModel::FileListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(files_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const FileEntry& entry = files_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return printableFileName(entry.display);
    case RawNameRole:
        return entry.raw;
    default:
        return {};
    }
}

void FileListModel::setFiles(QList<FileEntry> files)
{
    beginResetModel();
    files_ = std::move(files);
    endResetModel();
}

} // namespace orv

namespace orv {

QList<FileEntry> FileListModel::takeFiles()
{
    beginResetModel();
    QList<FileEntry> files = std::exchange(files_, {});
    endResetModel();
    return files;
}

} // namespace orv
