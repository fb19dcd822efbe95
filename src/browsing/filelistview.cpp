#include "browsing/filelistview.h"

#include "browsing/core/filelistloader.h"
#include "browsing/core/filelistmodel.h"
#include "browsing/core/folderbrowser.h"
#include "browsing/core/wildcardpattern.h"

#include <QMouseEvent>
#include <QScopedValueRollback>

namespace orv {

namespace {

// Rows laid out per slice: a few milliseconds on a slow, busy machine.
constexpr int kLayoutBatch = 20000;

} // namespace

FileListView::FileListView(QWidget* parent)
    : QListView(parent)
    , model_(new FileListModel(this))
    , loader_(new FileListLoader(this))
{
    setModel(model_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A huge folder is laid out a slice at a time between events, top rows first; rows are
    // never inserted above others, so the selection and the row under the pointer stay put.
    setLayoutMode(QListView::Batched);
    setBatchSize(kLayoutBatch);
    connect(loader_, &FileListLoader::finished, this, &FileListView::onListed);
}

FileListView::~FileListView() = default;

void FileListView::follow(const FolderBrowser& browser)
{
    connect(&browser, &FolderBrowser::folderChanged, this, &FileListView::setFolder);
    connect(&browser, &FolderBrowser::patternChanged, this, &FileListView::setPattern);
    folder_ = browser.folder();
    setPattern(browser.pattern());
}

void FileListView::setFolder(const QString& folder)
{
    folder_ = folder;
    refresh();
}

void FileListView::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    refresh();
}

void FileListView::deferNextFill()
{
    deferral_.arm();
}

void FileListView::releaseFill()
{
    if (deferral_.release())
        refresh();
}

void FileListView::refresh()
{
    if (deferral_.takeArmed()) {
        awaited_ = 0;
        const QScopedValueRollback quiet(userInput_, 0);
        loader_->discard(model_->takeFiles());
        return;
    }
    awaited_ = folder_.isEmpty() ? 0 : loader_->request(folder_, WildcardPattern(pattern_));
    const QScopedValueRollback quiet(userInput_, 0);
    loader_->discard(model_->takeFiles());
}

int FileListView::count() const
{
    return model_->rowCount();
}

QString FileListView::selectedName() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? model_->files().at(index.row()).display : QString();
}

QString FileListView::neighbourName(int step) const
{
    const QModelIndex index = selectedIndex();
    if (!index.isValid())
        return {};
    const qsizetype row = qsizetype(index.row()) + step;
    return row >= 0 && row < model_->files().size() ? model_->files().at(row).display : QString();
}

QByteArray FileListView::selectedRawName() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? model_->files().at(index.row()).raw : QByteArray();
}

QStringList FileListView::selectedNames() const
{
    QStringList out;
    const QList<FileEntry>& files = model_->files();
    for (int row = 0; row < files.size(); ++row) {
        if (selectionModel()->isRowSelected(row, QModelIndex()))
            out.append(files.at(row).display);
    }
    return out;
}

QStringList FileListView::names() const
{
    QStringList out;
    for (const FileEntry& f : model_->files())
        out.append(f.display);
    return out;
}

QModelIndex FileListView::selectedIndex() const
{
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    return indexes.isEmpty() ? QModelIndex() : indexes.constFirst();
}

void FileListView::onListed(quint64 generation, const Listing& listing)
{
    if (generation != awaited_)
        return;
    awaited_ = 0;
    error_ = !listing.ok;
    {
        const QScopedValueRollback quiet(userInput_, 0);
        loader_->discard(model_->takeFiles());
        model_->setFiles(listing.files);
    }
    Q_EMIT loaded();
}

void FileListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        Q_EMIT rightButtonPressed(event->globalPosition().toPoint());
        return;
    }
    const QScopedValueRollback user(userInput_, userInput_ + 1);
    QListView::mousePressEvent(event);
}

void FileListView::mouseMoveEvent(QMouseEvent* event)
{
    const QScopedValueRollback user(userInput_, userInput_ + 1);
    QListView::mouseMoveEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    const QScopedValueRollback user(userInput_, userInput_ + 1);
    QListView::mouseReleaseEvent(event);
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    const QScopedValueRollback user(userInput_, userInput_ + 1);
    QListView::keyPressEvent(event);
}

void FileListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    // A Ctrl+click that only deselects leaves no file to act on.
    if (userInput_ > 0 && !selected.isEmpty())
        Q_EMIT fileClicked();
}

} // namespace orv
