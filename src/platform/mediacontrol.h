#pragma once

#include <QString>

namespace orv {

// Video playback. play() shows a video in a window of its own, on the whole screen when
// fullScreen is set; Escape or closing the window stops it, and a new play replaces the video
// playing. The path is taken whole, spaces and all. A path that cannot be played does nothing
// and reports nothing.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    virtual void play(const QString& path, bool fullScreen) = 0;
};

} // namespace orv
