#pragma once

#include <QImage>

namespace orv {

// The program's own art, compiled in as pixels: "banner", "banner-vertical", "icon-16" ...
// "icon-256", "wave", "video", "player". The image shares static data (no copy). A null image
// for an unknown name.
QImage artImage(const char* name);

} // namespace orv
