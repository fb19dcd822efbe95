#include "sdlsoundplayer.h"

#include "audiooutput.h"
#include "wavestream.h"

namespace orv {

SdlSoundPlayer::SdlSoundPlayer(AudioOutput& output)
    : output_(output)
{
}

void SdlSoundPlayer::play(const QString& path)
{
    output_.start(std::make_shared<WaveStream>(path, output_.sampleRate()), AudioOutput::WaveSlot);
}

void SdlSoundPlayer::stop()
{
    output_.stop(AudioOutput::WaveSlot);
}

} // namespace orv
