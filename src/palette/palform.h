#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMouseEvent;

namespace orv {

class AppContext;
struct PaletteRead;

// The 256-colour palette viewer window: a palette read from an 8-bit bitmap or a JASC file,
// shown as a list of values and a strip of stripes, with a preview of the colour under the
// pointer and a swatch of the chosen one. The readers live in palette/core.
class PalForm : public QWidget {
    Q_OBJECT
public:
    explicit PalForm(AppContext& ctx, QWidget* parent = nullptr);

    // Centres the window, then applies its texts (and those of the windows after it).
    void Form_Load();

    // The open command: asks for a palette file and shows what its reader delivers.
    void imgOpen_Click();
    void imgQuit_Click();
    // Shows the selected list entry in the chosen-colour swatch and the three value boxes.
    void colorsList_Click();
    // Selects the entry under the pointer; ignored where the strip holds no entry.
    void displayColors_Click();
    void lblEmail_Click();

    // The authors' web address opened by lblEmail.

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
    // Released and pressed pictures of the two image buttons.
    QPixmap imgOpenUp, imgOpenDown, imgQuitUp, imgQuitDown;
    // Title of the open-palette dialog.
    QString dialogTitle;
    // Palette index under the pointer on the strip, kept for the next click there.
    qint16 hoverIndex = 0;
    // 1 when the last open refused a bitmap.
    qint16 paletteRejected = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void imageButtonEvent(QLabel* button, const QPixmap& up, const QPixmap& down, QEvent* e);
    void lblEmailEvent(QEvent* e);
    void displayColors_MouseMove(QPoint at);
    void clearPalette();
    void showPalette(const PaletteRead& read);
    void paintStrip();
    void setPaletteControlsEnabled(bool enabled);
    void fillSwatch(QLabel* box, const QColor& colour);

    AppContext& ctx_;
    double twipsPerPixelY_ = 15.0;
    QColor background_;
    QList<QColor> stripes_;
    QImage strip_;
    QObject* pressed_ = nullptr;
};

} // namespace orv
