#pragma once

#include <QList>
#include <QWidget>
#include <array>

class QAction;
class QMenu;

namespace orv {

class frmMDI;
class TextBox;
struct RecentMenu;

// A document window of the editor: one text box filling it, and the menus the frame's menu bar
// shows while it is the active document. Its tag holds its slot number.
class frmNotePad : public QWidget {
    Q_OBJECT
public:
    frmNotePad(frmMDI& frame, int slotNumber);

    int slot() const { return tag_.toInt(); }
    void setSlot(int number) { tag_ = QString::number(number); }
    QString tag() const { return tag_; }
    TextBox& text() const { return *Text1_; }
    // What the frame's menu bar shows while this document is active.
    QList<QAction*> menuBarEntries() const;
    void showRecentMenu(const RecentMenu& menu);

    void mnuFNew_Click();
    void mnuFOpen_Click();
    void mnuFClose_Click();
    void mnuFSave_Click();
    void mnuFSaveAs_Click();
    void mnuFExit_Click();
    void mnuRecentFile_Click(int index);
    void mnuECut_Click();
    void mnuECopy_Click();
    void mnuEPaste_Click();
    void mnuEDelete_Click();
    void mnuESelectAll_Click();
    void mnuETime_Click();
    void mnuSFind_Click();
    void mnuSFindNext_Click();
    void mnuOptions_Click();
    void mnuOToolbar_Click();
    void mnuFontName_Click(int index);
    void mnuAbout_Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    // Form_Resize: the text box fills the interior.
    void resizeEvent(QResizeEvent* e) override;

private:
    void buildMenus();
    // The Font menu lists every screen font; filled when it first opens, as that costs one
    // entry per installed font.
    void fillFontMenu();
    void fillWindowList();
    QAction* entry(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {});

    frmMDI& frame_;
    QString tag_;
    TextBox* Text1_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
    QMenu* mnuSearch_ = nullptr;
    QMenu* mnuOptions_ = nullptr;
    QMenu* mnuFont_ = nullptr;
    QMenu* mnuWindow_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QAction* mnuOToolbar_ = nullptr;
    std::array<QAction*, 5> mnuRecentFile_{};
    QList<QAction*> windowList_;
};

} // namespace orv
