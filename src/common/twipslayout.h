#pragma once

#include "common/core/units.h"

#include <QFontMetrics>
#include <QLabel>
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

// The designed boxes of some labels were drawn for a smaller system font than a Linux desktop's;
// their text keeps the box and gives up a point of size (two at most) to fit in it. Called again
// after the text changes, it starts from the window's font.
inline void fitTextInBox(QLabel* label)
{
    QFont font = label->parentWidget() ? label->parentWidget()->font() : label->font();
    const qreal smallest = font.pointSizeF() - 2;
    for (;;) {
        const QFontMetrics fm(font);
        const bool fits = fm.horizontalAdvance(label->text()) <= label->contentsRect().width()
                          && fm.height() <= label->contentsRect().height();
        if (fits || font.pointSizeF() - 1 < smallest)
            break;
        font.setPointSizeF(font.pointSizeF() - 1);
    }
    label->setFont(font);
}

} // namespace orv
