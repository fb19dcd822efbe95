#pragma once

#include <QListWidget>

namespace orv {

// The folder list (`dirDrive`): the open folders from "/" to the current one, then its
// sub-folders. A click highlights, a double click or Enter opens; opening, or setting the
// folder from code, emits folderChanged.
class FolderListView : public QListWidget {
    Q_OBJECT
public:
    explicit FolderListView(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // false (and nothing changes) when the folder cannot be entered.
    bool setPath(const QString& path);
    // Re-reads the current folder's sub-folders without emitting folderChanged.
    void refresh();
    // The highlighted line's folder, empty when none.
    QString highlightedPath() const;
    // Opens the highlighted folder (what Enter does).
    bool openHighlighted();

Q_SIGNALS:
    void folderChanged();
    void rightButtonPressed(QPoint globalPos);
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void fill();
    QString path_;
};

} // namespace orv
