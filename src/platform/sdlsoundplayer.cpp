#include "sdlsoundplayer.h"

#include "audiooutput.h"
#include "wavestream.h"

namespace orv {

SdlSoundPlayer::SdlSoundPlayer(AudioOutput& output)
    : m_output(output)
{
}

void SdlSoundPlayer::play(const QString& path)
{
    m_output.start(std::make_shared<WaveStream>(path, m_output.sampleRate()), AudioOutput::WaveSlot);
}

void SdlSoundPlayer::stop()
{
    m_output.stop(AudioOutput::WaveSlot);
}

} // namespace orv
