#pragma once

#include <QString>

class QWidget;

namespace orv {

// Video playback. play() shows a video in a window of its own, on the whole screen when
// fullScreen is set; Escape or closing the window stops it, and a new play replaces the video
// playing. The path is taken whole, spaces and all.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // False when nothing was started: a path that names no readable file, or no video can be
    // played here at all. Media that turns out to be unplayable once it loads ends on its own,
    // with no report.
    virtual bool play(const QString& path, bool fullScreen) = 0;
    // The window the user works in: keys that reach a video in a window (a window manager that
    // focuses every new window) go on to it. Escape still stops the video.
    virtual void passKeysTo(QWidget* window) { (void)window; }
};

} // namespace orv
