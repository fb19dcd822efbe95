#pragma once

#include "common/core/placement.h"
#include "platform/screenmetrics.h"

#include <QWidget>

namespace orv {

// Centres a top-level window on the screen, inside the area windows may cover; where the window
// system places windows itself (Wayland), that is left to it.
inline void centreOnScreen(QWidget* w, const ScreenMetrics& screen)
{
    if (!screen.mayPlaceWindows())
        return;
    const QSize s = w->frameSize().isValid() && w->isVisible() ? w->frameSize() : w->size();
    w->move(centredPosition(screen.screenPixels(), screen.availablePixels(), s));
}

// Raises a window and gives it the focus, where the window system lets a program do that.
inline void bringToFront(QWidget* w, const ScreenMetrics& screen)
{
    w->raise();
    if (screen.mayPlaceWindows())
        w->activateWindow();
}

} // namespace orv
