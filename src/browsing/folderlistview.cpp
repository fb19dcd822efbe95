#include "browsing/folderlistview.h"

#include "browsing/core/folderbrowser.h"
#include "browsing/core/folderentries.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>

#include <utility>

namespace orv {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

FolderListView::FolderListView(FolderBrowser& browser, QWidget* parent) : QListWidget(parent), browser_(browser)
{
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { openHighlighted(); });
    connect(&browser_, &FolderBrowser::folderChanged, this, &FolderListView::showFolder);
    if (!browser_.folder().isEmpty())
        showFolder(browser_.folder());
}

void FolderListView::showFolder(const QString& folder)
{
    path_ = folder;
    fill();
}

void FolderListView::refresh()
{
    if (!path_.isEmpty())
        fill();
}

void FolderListView::deferNextFill()
{
    deferral_.arm();
}

void FolderListView::releaseFill()
{
    if (deferral_.release())
        fill();
}

void FolderListView::fill()
{
    const bool subfolders = !deferral_.takeArmed();
    const FolderEntries fe = folderEntries(path_, subfolders);
    // Made once: icons made at every fill would each leave their scaled copies in Qt's pixmap
    // cache, a little more for every folder entered.
    if (openIcon_.isNull()) {
        openIcon_ = style()->standardIcon(QStyle::SP_DirOpenIcon);
        closedIcon_ = style()->standardIcon(QStyle::SP_DirClosedIcon);
    }
    setUpdatesEnabled(false);
    clear();
    for (const FolderEntry& e : fe.entries) {
        auto* item = new QListWidgetItem(QString(e.depth * 2, QLatin1Char(' ')) + e.label, this);
        item->setIcon(e.open ? openIcon_ : closedIcon_);
        item->setData(kPathRole, e.path);
        item->setToolTip(e.path);
    }
    if (fe.currentIndex >= 0) {
        setCurrentRow(fe.currentIndex);
        // Scrolling lays the rows out, which builds their icons: a hidden list waits until it
        // shows, so they are not built on the way to the program's first window.
        centreOnShow_ = !isVisible();
        if (!centreOnShow_)
            scrollToItem(item(fe.currentIndex), QAbstractItemView::PositionAtCenter);
    }
    setUpdatesEnabled(true);
}

QString FolderListView::highlightedPath() const
{
    const QListWidgetItem* it = currentItem();
    return it ? it->data(kPathRole).toString() : QString();
}

bool FolderListView::openHighlighted()
{
    const QString target = highlightedPath();
    if (target.isEmpty())
        return false;
    if (target == path_)
        return true;
    if (browser_.enter(target))
        return true;
    // A folder that vanished or cannot be entered: show the list as it really is now.
    refresh();
    QApplication::beep();
    return false;
}

void FolderListView::showEvent(QShowEvent* e)
{
    QListWidget::showEvent(e);
    if (std::exchange(centreOnShow_, false) && currentItem())
        scrollToItem(currentItem(), QAbstractItemView::PositionAtCenter);
}

void FolderListView::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        Q_EMIT enterPressed();
        e->accept();
        return;
    }
    QListWidget::keyPressEvent(e);
}

void FolderListView::mousePressEvent(QMouseEvent* e)
{
    QListWidget::mousePressEvent(e);
    if (e->button() == Qt::RightButton)
        Q_EMIT rightButtonPressed(e->globalPosition().toPoint());
}

} // namespace orv
