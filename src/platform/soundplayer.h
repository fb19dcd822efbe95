#pragma once

#include <QString>

namespace orv {

// Wave playback with the semantics the program relies on: play() returns at once, the sound
// plays in the background, a new sound replaces one still playing, and nothing is reported
// (a file that cannot be played, or no audio device, is simply silent).
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& path) = 0;
    virtual void stop() = 0;
};

} // namespace orv
