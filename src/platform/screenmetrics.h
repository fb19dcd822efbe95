#pragma once

#include <QRect>
#include <QSize>

namespace orv {

// The screen the program lays its windows out on: size and twips per pixel.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    // Size of the primary screen in pixels.
    virtual QSize screenPixels() const = 0;
    // The part of it windows may cover (without the desktop's panels).
    virtual QRect availablePixels() const { return QRect(QPoint(0, 0), screenPixels()); }
    // Whether the window system lets the program place its windows and bring one to the front;
    // a Wayland compositor does both itself.
    virtual bool mayPlaceWindows() const { return true; }

    double screenWidthTwips() const { return screenPixels().width() * twipsPerPixelX(); }
    double screenHeightTwips() const { return screenPixels().height() * twipsPerPixelY(); }
};

// Reads the primary screen's logical DPI and geometry (1440 / DPI twips per pixel).
class QtScreenMetrics final : public ScreenMetrics {
public:
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    QSize screenPixels() const override;
    QRect availablePixels() const override;
    bool mayPlaceWindows() const override;
};

} // namespace orv
