#pragma once

#include "common/fullscreenview.h"

#include <QImage>
#include <QWidget>

class QLabel;

namespace orv {

class AppContext;

// The full-screen window: borderless, black, covering the screen. It shows slide shows and,
// for the main window, a single picture (AppContext::singlePictureMode()).
class Showpic : public QWidget, public FullScreenView {
    Q_OBJECT
public:
    explicit Showpic(AppContext& ctx, QWidget* parent = nullptr);

    // Sizes the window to the screen, sets the caption colour and the pointer.
    void Form_Load();

    // FullScreenView
    void setCaption(const QString& caption) override;
    void showView() override;
    QSize viewSizePixels() const override { return size(); }
    void drawPicture(const QImage& picture, QPoint topLeft) override;

    // The colour of the file-name caption; black leaves it green.
    void setCaptionColour(QColor colour);
    // Normal arrow, or the invisible pointer.
    void setPointerVisible(bool visible);

protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    AppContext& ctx_;
    QLabel* lblShowFilename_ = nullptr;
    QImage picture_;
    QPoint pictureAt_;
};

} // namespace orv
