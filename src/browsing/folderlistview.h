#pragma once

#include "browsing/core/filldeferral.h"

#include <QIcon>
#include <QListWidget>

namespace orv {

class FolderBrowser;

// The folder list (`dirDrive`): the open folders from "/" to the browser's current one, then
// its sub-folders. It follows the browser: a click highlights, a double click or Enter asks the
// browser to enter the highlighted folder; the list refills when the browser's folder changes.
class FolderListView : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListView(FolderBrowser& browser, QWidget* parent = nullptr);

    // The folder shown.
    QString path() const { return path_; }
    // Re-reads the shown folder's sub-folders.
    void refresh();
    // The highlighted line's folder, empty when none.
    QString highlightedPath() const;
    // Enters the highlighted folder (what Enter does). A folder that cannot be entered (gone
    // meanwhile, no permission) leaves the browser where it is; the list is re-read and beeps.
    bool openHighlighted();
    // The next fill shows the open folders only; their sub-folders wait for releaseFill() (or
    // the fill after), so reading a huge folder does not compete with the picture opened in it.
    void deferNextFill();
    void releaseFill();

Q_SIGNALS:
    void rightButtonPressed(QPoint globalPos);
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void showFolder(const QString& folder);
    void fill();

    FolderBrowser& browser_;
    QString path_;
    bool centreOnShow_ = false;
    FillDeferral deferral_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

} // namespace orv
