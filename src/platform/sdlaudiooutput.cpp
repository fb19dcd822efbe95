#include "sdlaudiooutput.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

constexpr int RequestedRate = 48000;
// About 43 ms a callback: half the audio thread's wake-ups of 1024 frames, still too short a
// delay to notice between a click and its sound.
constexpr int RequestedFrames = 2048;

// ALSA's library reports a machine without a sound card on the error output, line after line,
// when SDL looks for a device; the program has nothing to tell the user there and falls back
// to silence on its own.
void ignoreAlsaDiagnostics(const char*, int, const char*, int, const char*, ...) {}

} // namespace

SdlAudioOutput::SdlAudioOutput() = default;

SdlAudioOutput::~SdlAudioOutput()
{
    // Closing waits for a running callback, so the streams can be released after it.
    if (device_ != 0)
        SDL_CloseAudioDevice(device_.load());
    for (Channel& c : channels_)
        c.stream.reset();
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudioOutput::openDevice() const
{
    SDL_AudioSpec want {};
    want.freq = RequestedRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = RequestedFrames;
    want.callback = &SdlAudioOutput::callback;
    want.userdata = const_cast<SdlAudioOutput*>(this);
    SDL_AudioSpec have {};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0)
        return false;
    device_ = device;
    rate_ = have.freq > 0 ? have.freq : RequestedRate;
    scratch_.assign(std::size_t(std::max<int>(have.samples, RequestedFrames)) * 2, 0.0f);
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

bool SdlAudioOutput::ensureOpen() const
{
    std::lock_guard lock(openMutex_);
    if (tried_)
        return device_ != 0;
    tried_ = true;
    // Audio brings up SDL's event system, which would otherwise take SIGINT and SIGTERM from Qt.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    snd_lib_error_set_handler(&ignoreAlsaDiagnostics);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        subsystemUp_ = true;
        if (openDevice())
            return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemUp_ = false;
    }
    // No sound card, no server: keep going on the dummy driver so playback still runs its course.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    subsystemUp_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (subsystemUp_ && openDevice())
        return true;
    if (subsystemUp_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemUp_ = false;
    return false;
}

void SdlAudioOutput::callback(void* self, unsigned char* bytes, int length)
{
    const int frames = length / int(2 * sizeof(float));
    static_cast<SdlAudioOutput*>(self)->mix(reinterpret_cast<float*>(bytes), frames);
}

void SdlAudioOutput::mix(float* out, int frames)
{
    std::memset(out, 0, std::size_t(frames) * 2 * sizeof(float));
    const int chunk = int(scratch_.size() / 2);
    for (Channel& c : channels_) {
        if (!c.stream || c.ended)
            continue;
        for (int done = 0; done < frames && !c.ended;) {
            const int want = std::min(chunk, frames - done);
            const int got = std::clamp(c.stream->render(scratch_.data(), want), 0, want);
            float* dst = out + std::size_t(done) * 2;
            for (int i = 0; i < got * 2; ++i)
                dst[i] += scratch_[std::size_t(i)];
            done += got;
            c.ended = got < want;
        }
    }
    for (int i = 0; i < frames * 2; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

std::shared_ptr<AudioStream> SdlAudioOutput::exchange(int slot, std::shared_ptr<AudioStream> stream)
{
    SDL_LockAudioDevice(device_);
    Channel& c = channels_[std::size_t(slot)];
    std::swap(c.stream, stream);
    c.ended = false;
    SDL_UnlockAudioDevice(device_);
    return stream;
}

void SdlAudioOutput::start(std::shared_ptr<AudioStream> stream, int slot)
{
    if (slot < 0 || slot >= SlotCount || !ensureOpen())
        return;
    // The replaced stream dies here, on the caller's thread, after the lock is gone.
    const std::shared_ptr<AudioStream> old = exchange(slot, std::move(stream));
}

void SdlAudioOutput::stop(int slot)
{
    if (slot < 0 || slot >= SlotCount || device_ == 0)
        return;
    const std::shared_ptr<AudioStream> old = exchange(slot, nullptr);
}

bool SdlAudioOutput::isPlaying(int slot) const
{
    if (slot < 0 || slot >= SlotCount || device_ == 0)
        return false;
    SDL_LockAudioDevice(device_);
    const Channel& c = channels_[std::size_t(slot)];
    const bool playing = c.stream && !c.ended;
    SDL_UnlockAudioDevice(device_);
    return playing;
}

int SdlAudioOutput::sampleRate() const
{
    ensureOpen();
    return rate_;
}

QString SdlAudioOutput::driverName() const
{
    if (!ensureOpen())
        return {};
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? QString::fromUtf8(name) : QString();
}

} // namespace orv
