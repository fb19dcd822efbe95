#pragma once

#include "common/core/units.h"

#include <QWidget>

namespace orv {

// Places controls at designed twip positions on a screen with the given twips per pixel.
class TwipsLayout {
public:
    TwipsLayout(double tppX, double tppY) : tppX_(tppX), tppY_(tppY) {}
    int x(double twips) const { return twipsToPixels(twips, tppX_); }
    int y(double twips) const { return twipsToPixels(twips, tppY_); }
    void place(QWidget* w, double left, double top, double width, double height) const
    {
        w->setGeometry(x(left), y(top), x(width), y(height));
    }
    QSize size(double width, double height) const { return QSize(x(width), y(height)); }

private:
    double tppX_;
    double tppY_;
};

// Centres a top-level window on a screen of the given size in pixels.
inline void centreOnScreen(QWidget* w, QSize screen)
{
    const QSize s = w->frameSize().isValid() && w->isVisible() ? w->frameSize() : w->size();
    w->move((screen.width() - s.width()) / 2, (screen.height() - s.height()) / 2);
}

} // namespace orv
