#pragma once

#include "pictures/pictureloader.h"

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

    // A picture still being decoded shows its rows as they arrive, a metafile its parts as
    // they are drawn.
    void setPicture(const Picture& picture);
    void clearPicture();
    bool hasPicture() const { return !picture_.isNull(); }
    const Picture& picture() const { return picture_; }
    // The decoding still under way for the shown picture, if any.
    std::shared_ptr<PictureCompletion> completion() const { return picture_.completion; }
    // The whole raster picture: waits for rows still being decoded (null for a metafile).
    const QImage& image() const;
    QSize himetric() const { return picture_.himetric; }
    // True when everything the box shows of the picture is painted in full.
    bool showsAll() const;

    // Shift in pixels: the picture is drawn at (-x, -y).
    void setOffset(QPoint pixels);
    QPoint offset() const { return offset_; }

Q_SIGNALS:
    void rightButtonPressed(QPoint globalPos);
    // The metafile shown turned out unreadable while its parts were being drawn.
    void pictureFailed(const QString& why);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QRect shownPart() const;

    Picture picture_;
    QPoint offset_;
};

} // namespace orv
