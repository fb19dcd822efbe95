#pragma once

#include <QIcon>
#include <QImage>

namespace orv {

// The program's own art, compiled in as pixels: "banner", "banner-vertical", "icon-16" ...
// "icon-256", "wave", "video", "player", "document-16", and the editor's toolbar buttons
// "toolbar-<new|open|cut|copy|paste>-<up|down>". The image shares static data (no copy). A
// null image for an unknown name.
QImage artImage(const char* name);

// The program's icon at every size of its art, and the icon of one art image ("player",
// "document-16"). Each is made once and shared by every window that shows it: Qt keeps an
// icon's scaled copies in its pixmap cache under that icon's own key, so windows made anew with
// icons of their own (the editor's frame at every text) left a little behind every time.
const QIcon& programIcon();
const QIcon& artIcon(const char* name);

} // namespace orv
