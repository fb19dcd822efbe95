#include "browser/filelistview.h"

#include "browser/core/directorylisting.h"
#include "browser/core/filelistmodel.h"
#include "browser/core/filepatterns.h"

#include <QMouseEvent>
#include <QScopedValueRollback>

namespace orv {

FileListView::FileListView(QWidget* parent)
    : QListView(parent)
    , m_model(new FileListModel(this))
    , m_loader(new FileListLoader(this))
    , m_pattern(FilterPatterns[0])
{
    setObjectName(QStringLiteral("fileFilter"));
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_loader, &FileListLoader::finished, this, &FileListView::onListed);
}

FileListView::~FileListView() = default;

void FileListView::setFolder(const QString& folder)
{
    m_folder = folder;
    refresh();
}

void FileListView::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    refresh();
}

void FileListView::refresh()
{
    m_awaited = m_loader->request(m_folder, WildcardPattern(m_pattern));
    const QScopedValueRollback quiet(m_userInput, 0);
    m_model->setFiles({});
}

int FileListView::count() const
{
    return m_model->rowCount();
}

QString FileListView::selectedName() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? m_model->files().at(index.row()).display : QString();
}

QByteArray FileListView::selectedRawName() const
{
    const QModelIndex index = selectedIndex();
    return index.isValid() ? m_model->files().at(index.row()).raw : QByteArray();
}

QModelIndex FileListView::selectedIndex() const
{
    const QModelIndexList indexes = selectionModel()->selectedIndexes();
    return indexes.isEmpty() ? QModelIndex() : indexes.constFirst();
}

void FileListView::onListed(quint64 generation, const Listing& listing)
{
    if (generation != m_awaited)
        return;
    m_awaited = 0;
    m_error = !listing.ok;
    {
        const QScopedValueRollback quiet(m_userInput, 0);
        m_model->setFiles(listing.files);
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
    const QScopedValueRollback user(m_userInput, m_userInput + 1);
    QListView::mousePressEvent(event);
}

void FileListView::mouseMoveEvent(QMouseEvent* event)
{
    const QScopedValueRollback user(m_userInput, m_userInput + 1);
    QListView::mouseMoveEvent(event);
}

void FileListView::mouseReleaseEvent(QMouseEvent* event)
{
    const QScopedValueRollback user(m_userInput, m_userInput + 1);
    QListView::mouseReleaseEvent(event);
}

void FileListView::keyPressEvent(QKeyEvent* event)
{
    const QScopedValueRollback user(m_userInput, m_userInput + 1);
    QListView::keyPressEvent(event);
}

void FileListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    // A Ctrl+click that only deselects leaves no file to act on.
    if (m_userInput > 0 && !selected.isEmpty())
        Q_EMIT fileClicked();
}

} // namespace orv
