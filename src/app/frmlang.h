#pragma once

#include "common/texttable.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

class AppContext;

// The options dialog: interface language and start folder.
class frmLang : public QDialog {
    Q_OBJECT
public:
    explicit frmLang(AppContext& ctx, QWidget* parent = nullptr);

    void Form_Load();
    void applyTexts();
    // Runs each time the dialog becomes the active window.
    void Form_Activate();
    void btnSet_Click();
    void btnExit_Click();

    // The language buttons as the user left them; SetLanguage reads them.
    bool englishSelected() const;
    bool frenchSelected() const;

protected:
    bool event(QEvent* e) override;

private:
    AppContext& ctx_;
    TextTable texts_;

    QGroupBox* fraLang_ = nullptr;
    QRadioButton* optEnglish_ = nullptr;
    QRadioButton* optFrench_ = nullptr;
    QGroupBox* fraDirectory_ = nullptr;
    QLineEdit* lblDir_ = nullptr;
    QLabel* lblQuest_ = nullptr;
    QRadioButton* optYes_ = nullptr;
    QRadioButton* optNo_ = nullptr;
    QPushButton* btnSet_ = nullptr;
    QPushButton* btnExit_ = nullptr;
};

} // namespace orv
