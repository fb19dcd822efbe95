#pragma once

#include <QString>

namespace orv {

// Media-control commands by text. "play <path>" plays a video in a window of its own,
// "play <path> fullscreen" on the whole screen; Escape or closing the window stops it. The
// path runs to the end of the command (or to " fullscreen") and may hold spaces.
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // False when the command was not carried out: unknown, a path that names no readable file,
    // or no video can be played here at all. Media that turns out to be unplayable once it
    // loads ends on its own, with no report.
    virtual bool sendString(const QString& command) = 0;
};

} // namespace orv
