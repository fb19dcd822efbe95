#pragma once

#include "common/closequery.h"
#include "editor/core/documents.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace orv {

class AppContext;
class TextEditor;
class ToolbarButton;
class frmNotePad;

// The editor's frame, "Vellum Pad": its document windows in a multi-document area, a toolbar
// of picture buttons above them, and the menu bar of the active document (its own while none
// is open). The document rules are EditorDocuments'; this window shows what they decide.
class frmMDI : public QMainWindow, public CloseQuery, private EditorWindows {
    Q_OBJECT
public:
    frmMDI(AppContext& ctx, TextEditor& editor);
    ~frmMDI() override;

    // Start-up: the stored size (first-run sizes from the screen), centred, shown; document 1;
    // the recent menus; the search direction down; then pendingFile opens in a second document.
    void MDIForm_Load(const QString& pendingFile);
    // Shown again while loaded: to the front, and pendingFile opens in a further document.
    void bringToFront(const QString& pendingFile);

    // The program is about to end: every changed document is asked about in turn; false
    // when one answer keeps the program running. When all agree the size is stored, as at the
    // frame's own close.
    bool mayClose() override;

    EditorDocuments& documents() { return docs_; }
    TextEditor& editor() const { return editor_; }
    AppContext& context() const { return ctx_; }
    // The active document window (the last active one while the frame itself is not active).
    frmNotePad* activeDocument() const;
    frmNotePad* document(int slot) const;
    // Open document windows in the order they were created.
    QList<frmNotePad*> documentWindows() const;
    QMdiArea& area() const { return *mdiArea_; }

    void mnuFNew_Click();
    void mnuFOpen_Click();
    void mnuFExit_Click();
    void mnuRecentFile_Click(int window, int index);
    void mnuOptions_Click(QAction* toolbarItem);
    // Toolbar shown or hidden from an Options menu; the frame's own check mark follows.
    void ToggleToolbar(QAction* toolbarItem);
    bool toolbarShown() const;

    void CopySelection();
    void CutSelection();
    void PasteClipboard();
    void cascade();
    // Stacks the documents that are not minimized one above another, each as wide as the area.
    void tileHorizontally();
    void arrangeIcons();
    void showAbout();

    // A document window accepted its close.
    void documentWindowClosed(int slot);
    void activate(frmNotePad* document);

Q_SIGNALS:
    // The frame closed; it is deleted soon after.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // EditorWindows
    void createDocumentWindow(int slot) override;
    void setDocumentCaption(int slot, const QString& caption) override;
    void setDocumentText(int slot, const QString& text) override;
    QString documentText(int slot) const override;
    qsizetype selectionStart(int slot) const override;
    void selectText(int slot, TextRange range) override;
    void showDocumentWindow(int slot) override;
    void setEditingButtonsVisible(bool visible) override;
    void showRecentMenu(int window, const RecentMenu& menu) override;
    void setBusy(bool busy) override;

    void buildMenus();
    void buildToolbar();
    void updateMenuBar();
    // The open documents, topmost first, as the frame's close asks them.
    QList<int> closingOrder() const;
    void MDIForm_Unload();
    // Sets the outer size (with the window manager's frame) and centres the frame.
    void placeOnScreen();
    QMdiSubWindow* subWindow(int slot) const;
    // A hidden document window, not yet given a slot.
    QMdiSubWindow* makeDocumentWindow();
    void prepareSpareWindow();

    AppContext& ctx_;
    TextEditor& editor_;
    EditorDocuments docs_;
    QHash<int, QPointer<frmNotePad>> windows_;
    // A document window made ready in idle time, so opening a file costs less.
    QPointer<QMdiSubWindow> spare_;
    QMdiArea* mdiArea_ = nullptr;
    QWidget* picToolbar_ = nullptr;
    ToolbarButton* imgFileNewButton_ = nullptr;
    ToolbarButton* imgFileOpenButton_ = nullptr;
    ToolbarButton* imgCutButton_ = nullptr;
    ToolbarButton* imgCopyButton_ = nullptr;
    ToolbarButton* imgPasteButton_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuOptions_ = nullptr;
    QAction* mnuOToolbar_ = nullptr;
    std::array<QAction*, 5> mnuRecentFile_{};
    QSize outerSize_;
    bool outerSizeSettled_ = true;
    int busy_ = 0;
};

} // namespace orv
