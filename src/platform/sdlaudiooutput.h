#pragma once

#include "platform/audiooutput.h"

#include <QString>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace orv {

// The audio output on SDL2: float stereo at the device's rate (48 kHz asked for), mixed on
// SDL's callback thread. SDL is started for audio only, at first use; when no device opens the
// output runs on SDL's dummy driver, so streams still advance and end, silently. The callback
// and the control calls share SDL's device lock, which the control side holds only to swap a
// pointer; streams are never released inside the callback.
class SdlAudioOutput final : public AudioOutput {
public:
    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    void start(std::shared_ptr<AudioStream> stream, int slot) override;
    void stop(int slot) override;
    bool isPlaying(int slot) const override;
    int sampleRate() const override;

    // The SDL driver the output runs on ("pulseaudio", "dummy", ...); empty when none opened.
    QString driverName() const;

private:
    struct Channel {
        std::shared_ptr<AudioStream> stream;
        bool ended = false;
    };

    bool ensureOpen() const;
    bool openDevice() const;
    static void callback(void* self, unsigned char* bytes, int length);
    void mix(float* out, int frames);
    // Puts `stream` in the slot and hands back the one it replaces, for release outside the lock.
    std::shared_ptr<AudioStream> exchange(int slot, std::shared_ptr<AudioStream> stream);

    mutable std::mutex openMutex_;
    mutable bool tried_ = false;
    mutable bool subsystemUp_ = false;
    mutable std::atomic<unsigned> device_ = 0;
    mutable int rate_ = 48000;
    mutable std::vector<float> scratch_;
    std::array<Channel, SlotCount> channels_;
};

} // namespace orv
