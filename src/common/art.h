#pragma once

#include <QImage>

namespace orv {

// The program's own art, compiled in as pixels: "banner", "banner-vertical", "icon-16" ...
// "icon-256", "wave", "video", "player", "document-16", and the editor's toolbar buttons
// "toolbar-<new|open|cut|copy|paste>-<up|down>". The image shares static data (no copy). A
// null image for an unknown name.
QImage artImage(const char* name);

} // namespace orv
