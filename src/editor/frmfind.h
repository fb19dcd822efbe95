#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace orv {

class TextEditor;
struct SearchState;

// The editor's find dialog: modeless and without owner, so the user types in a document while
// it stays open. Its Find acts on whichever document is active at that moment; Cancel keeps
// what the box holds for Find Next, its close box does not.
class frmFind : public QDialog {
    Q_OBJECT
public:
    frmFind(TextEditor& editor, SearchState& state);

    // Find disabled, the direction of the search state selected.
    void Form_Load();
    // What the box holds when the dialog opens from the Search menu.
    void setSearchText(const QString& text);
    QString searchText() const;

    void Text1_Change();
    void chkCase_Click();
    void optDirection_Click(int index);
    void cmdFind_Click();
    void cmdcancel_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TextEditor& editor_;
    SearchState& state_;
    QLabel* Label1_ = nullptr;
    QPlainTextEdit* Text1_ = nullptr;
    QCheckBox* chkCase_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QRadioButton* optDirection_[2] = {nullptr, nullptr};
    QPushButton* cmdFind_ = nullptr;
    QPushButton* cmdcancel_ = nullptr;
};

} // namespace orv
