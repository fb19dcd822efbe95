#pragma once

#include <QString>

namespace orv {

// Media-control commands by text. "play <path>" plays a video in a window of its own,
// "play <path> fullscreen" on the whole screen; Escape or closing the window stops it. The
// path runs to the end of the command (or to " fullscreen") and may hold spaces. An unknown
// or failing command does nothing and reports nothing.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    virtual void sendString(const QString& command) = 0;
};

} // namespace orv
