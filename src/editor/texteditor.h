#pragma once

#include "editor/core/editing.h"

#include <QObject>
#include <QPointer>

namespace orv {

class AppContext;
class frmFind;
class frmMDI;

// The text editor as the rest of the program reaches it: the frame, loaded when first shown
// and again after it was closed; the find dialog, which is not closed with the frame; and the
// search state they share for the program's life.
class TextEditor : public QObject {
    Q_OBJECT
public:
    explicit TextEditor(AppContext& ctx);
    ~TextEditor() override;

    // Shows the frame: loads it when it is closed, else brings it to the front. A pending file
    // (handed over by the browser) opens in a new document window either way.
    void show(const QString& pendingFile = QString());
    // The same for a path: a new document window, the frame in front.
    void openInEditor(const QString& path) { show(path); }

    // Asked before the program ends: every changed document asks its question in turn; false
    // when one was answered Cancel (or its save did not happen), which keeps the program.
    bool queryClose();

    frmMDI* frame() const;
    frmFind* findDialog() const;
    SearchState& search() { return search_; }

    // Search > Find: the dialog (created on first use) shows boxText and comes to the front.
    void showFindDialog(const QString& boxText);
    // A document's text box got the focus: a visible find dialog comes to the front.
    void raiseFindDialog();
    // The find dialog's Find: searches the frame's active document; nothing without one.
    void findInActiveDocument();

private:
    AppContext& ctx_;
    SearchState search_;
    QPointer<frmMDI> frame_;
    QPointer<frmFind> find_;
};

} // namespace orv
