#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>

namespace orv {

// Where a window of `frame` size goes when centred on a screen of `screen` pixels: the centre
// as designed, pulled inside `available` (the screen without the desktop's panels) so that a
// window larger than that area keeps its top-left corner, title bar and menu on the screen.
inline QPoint centredPosition(QSize screen, QRect available, QSize frame)
{
    const auto pull = [](int v, int low, int high) { return std::max(low, std::min(v, high)); };
    return {pull((screen.width() - frame.width()) / 2, available.left(), available.right() + 1 - frame.width()),
            pull((screen.height() - frame.height()) / 2, available.top(), available.bottom() + 1 - frame.height())};
}

} // namespace orv
