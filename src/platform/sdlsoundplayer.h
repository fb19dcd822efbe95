#pragma once

#include "platform/soundplayer.h"

namespace orv {

class AudioOutput;

// Wave sounds on the shared audio output's wave slot. play() only starts a decoding stream and
// returns; the stream it replaces stops at once.
class SdlSoundPlayer final : public SoundPlayer {
public:
    explicit SdlSoundPlayer(AudioOutput& output);

    void play(const QString& path) override;
    void stop() override;

private:
    AudioOutput& output_;
};

} // namespace orv
