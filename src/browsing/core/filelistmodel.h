#pragma once

#include "browsing/core/listing.h"

#include <QAbstractListModel>
#include <QList>

namespace orv {

// A flat, read-only model over one listing's files: the display name for Qt::DisplayRole and
// the raw bytes for RawNameRole. Holds the entries as they are -- no item objects -- so a
// hundred thousand rows cost one reset.
class FileListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { RawNameRole = Qt::UserRole + 1 };

    explicit FileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Replaces every row in one reset.
    void setFiles(QList<FileEntry> files);
    const QList<FileEntry>& files() const { return files_; }

private:
    QList<FileEntry> files_;
};

} // namespace orv
