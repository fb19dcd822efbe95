#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orv {

class AppContext;
class Application;

// The options dialog: interface language and start folder.
class frmLang : public QDialog {
    Q_OBJECT
public:
    frmLang(AppContext& ctx, Application& app, QWidget* parent = nullptr);

    void Form_Load();
    // Runs each time the dialog becomes the active window.
    void Form_Activate();
    void btnSet_Click();
    void btnExit_Click();

    QGroupBox* fraLang = nullptr;
    QRadioButton* optEnglish = nullptr;
    QRadioButton* optFrench = nullptr;
    QGroupBox* fraDirectory = nullptr;
    QLineEdit* lblDir = nullptr;
    QLabel* lblQuest = nullptr;
    QRadioButton* optYes = nullptr;
    QRadioButton* optNo = nullptr;
    QPushButton* btnSet = nullptr;
    QPushButton* btnExit = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    AppContext& ctx_;
    Application& app_;
};

} // namespace orv
