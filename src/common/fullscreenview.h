#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace orv {

// The shared full-screen window as the main window uses it for one picture.
class FullScreenView {
public:
    virtual ~FullScreenView() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual void showView() = 0;
    virtual QSize viewSizePixels() const = 0;
    // Draws the picture at natural size with its top-left corner at topLeft (pixels; may be
    // negative, the picture is then cut).
    virtual void drawPicture(const QImage& picture, QPoint topLeft) = 0;
};

} // namespace orv
