#pragma once

#include "browsing/core/filldeferral.h"

#include <QByteArray>
#include <QListView>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace orv {

class FileListLoader;
class FileListModel;
class FolderBrowser;
struct Listing;

// The browser's file list (`fileFilter`): the files of one folder that match the file-type
// pattern. Setting the folder or the pattern refills it: the list empties at once, the folder
// is read and sorted on a worker thread, and the finished list replaces the rows in one
// model reset, so the UI thread never walks the folder. Rows have uniform sizes and are laid
// out a slice at a time, top first, and an old list is freed on the worker: a million names
// never hold up the UI thread. fileClicked() reports a file becoming selected by
// the mouse or keyboard only; a refill leaves no selection and reports nothing. A right-button
// press reports its position and leaves the selection alone.
class FileListView : public QListView
{
    Q_OBJECT

public:
    explicit FileListView(QWidget* parent = nullptr);
    ~FileListView() override;

    // Shows the browser's folder with its pattern from now on.
    void follow(const FolderBrowser& browser);

    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    void setPattern(const QString& pattern);
    QString pattern() const { return pattern_; }
    // Reads the folder again with the same pattern. Without a folder the list stays empty.
    void refresh();
    // The next fill waits (the list stays empty) until releaseFill(), so other work can go
    // first; a later change of folder or pattern ends the wait at once.
    void deferNextFill();
    void releaseFill();

    int count() const;
    // Display text of the selected file, empty when none is selected.
    QString selectedName() const;
    // Display text of the file `step` rows below (negative: above) the selected one; empty
    // when none is selected or the list ends first.
    QString neighbourName(int step) const;
    // The selected file's name as the file system holds it, empty when none is selected.
    QByteArray selectedRawName() const;
    // Display texts of every selected file, in list order (for several selected at once).
    QStringList selectedNames() const;
    // Display texts of every listed file, in list order.
    QStringList names() const;
    bool isLoading() const { return awaited_ != 0; }
    // True when the last fill could not read the folder (missing, unreadable, not a folder).
    bool hasError() const { return error_; }

Q_SIGNALS:
    void loaded();
    void fileClicked();
    void rightButtonPressed(QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    void onListed(quint64 generation, const Listing& listing);
    QModelIndex selectedIndex() const;

    FileListModel* model_;
    FileListLoader* loader_;
    QString folder_;
    QString pattern_;
    quint64 awaited_ = 0;
    FillDeferral deferral_;
    bool error_ = false;
    int userInput_ = 0; // > 0 while a mouse or key event is being handled
};

} // namespace orv
