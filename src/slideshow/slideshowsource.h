#pragma once

#include "slideshow/core/showfile.h"
#include "slideshow/core/slidesequencer.h"

#include <QtGlobal>

namespace orv {

// The show as the player reads it from the editor, which stays open behind the full-screen
// window: the modes and colour when the show starts, the entries and the loop, pointer and
// file-name settings at every step.
class SlideShowSource {
public:
    virtual ~SlideShowSource() = default;
    virtual ShowView showView() const = 0;
    virtual ShowSettings showSettings() const = 0;
    // The caption colour as 0xRRGGBB; 0 (black, also when none was chosen) leaves it green.
    virtual quint32 captionColour() const = 0;
};

} // namespace orv
