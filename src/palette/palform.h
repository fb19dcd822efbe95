#pragma once

#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace orv {

class AppContext;

// The 256-colour palette viewer window.
class PalForm : public QWidget {
    Q_OBJECT
public:
    explicit PalForm(AppContext& ctx, QWidget* parent = nullptr);

    // Centres the window, then applies its texts (and those of the windows after it).
    void Form_Load();

    QLabel* imgOpen = nullptr;
    QLabel* imgQuit = nullptr;
    QListWidget* colorsList = nullptr;
    QLabel* displayColors = nullptr;
    QLabel* displayChoosenColor = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblGreen = nullptr;
    QLabel* lblBlue = nullptr;
    QLineEdit* rValue = nullptr;
    QLineEdit* gValue = nullptr;
    QLineEdit* bValue = nullptr;
    QLabel* lblPreview = nullptr;
    QLabel* displayPreview = nullptr;
    QGroupBox* frmABout = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblEmail = nullptr;
    // Title of the open-palette dialog.
    QString dialogTitle;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    AppContext& ctx_;
};

} // namespace orv
