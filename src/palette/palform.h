#pragma once

#include "common/texttable.h"

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
    void applyTexts();

    // The open command: asks for a palette file and shows what its reader delivers.
    void imgOpen_Click();
    void imgQuit_Click();
    // Shows the selected list entry in the chosen-colour swatch and the three value boxes.
    void colorsList_Click();
    // Selects the entry under the pointer; ignored where the strip holds no entry.
    void displayColors_Click();
    void lblEmail_Click();

    // Released and pressed pictures of the two image buttons.
    const QPixmap& imgOpenUp() const { return imgOpenUp_; }
    const QPixmap& imgOpenDown() const { return imgOpenDown_; }
    const QPixmap& imgQuitUp() const { return imgQuitUp_; }
    const QPixmap& imgQuitDown() const { return imgQuitDown_; }
    // Palette index under the pointer on the strip, kept for the next click there.
    qint16 hoverIndex() const { return hoverIndex_; }
    // Whether the last open refused a bitmap.
    bool paletteRejected() const { return paletteRejected_ != 0; }

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
    TextTable texts_;

    QLabel* imgOpen_ = nullptr;
    QLabel* imgQuit_ = nullptr;
    QListWidget* colorsList_ = nullptr;
    QLabel* displayColors_ = nullptr;
    QLabel* displayChoosenColor_ = nullptr;
    QLabel* lblRed_ = nullptr;
    QLabel* lblGreen_ = nullptr;
    QLabel* lblBlue_ = nullptr;
    QLineEdit* rValue_ = nullptr;
    QLineEdit* gValue_ = nullptr;
    QLineEdit* bValue_ = nullptr;
    QLabel* lblPreview_ = nullptr;
    QLabel* displayPreview_ = nullptr;
    QGroupBox* frmABout_ = nullptr;
    QLabel* lblCopyright_ = nullptr;
    QLabel* lblEmail_ = nullptr;
    QPixmap imgOpenUp_, imgOpenDown_, imgQuitUp_, imgQuitDown_;
    QString dialogTitle_;
    qint16 hoverIndex_ = 0;
    qint16 paletteRejected_ = 0;

    double twipsPerPixelY_ = 15.0;
    QColor background_;
    QList<QColor> stripes_;
    QImage strip_;
    QObject* pressed_ = nullptr;
};

} // namespace orv
