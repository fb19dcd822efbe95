#pragma once

#include <QFrame>
#include <QImage>
#include <QSize>

namespace orv {

// The picture area (`Open`): at most one picture, at natural size, its top-left corner at the
// box's top-left shifted by the scroll offsets; what does not fit is cut off. Only the visible
// part is drawn, so scrolling a huge picture costs no more than a small one.
class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& image, QSize himetric);
    void clearPicture();
    bool hasPicture() const { return !image_.isNull(); }
    const QImage& image() const { return image_; }
    QSize himetric() const { return himetric_; }

    // Shift in pixels: the picture is drawn at (-x, -y).
    void setOffset(QPoint pixels);
    QPoint offset() const { return offset_; }

Q_SIGNALS:
    void rightButtonPressed(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage image_;
    QSize himetric_;
    QPoint offset_;
};

} // namespace orv
