#pragma once

#include "platform/audiostream.h"

#include <memory>

namespace orv {

// The shared audio output: one stream per slot, all slots mixed together. Wave sounds and
// modules each own a slot, so a sound does not cut a module short. Starting a stream in a slot
// replaces the one there; a stream that is replaced or stopped is released on the calling
// thread, never on the audio thread.
class AudioOutput {
public:
    enum Slot { WaveSlot = 0, ModuleSlot = 1 };
    static constexpr int SlotCount = 2;

    virtual ~AudioOutput() = default;
    // A slot outside 0..SlotCount-1 is ignored.
    virtual void start(std::shared_ptr<AudioStream> stream, int slot) = 0;
    virtual void stop(int slot) = 0;
    // True while the slot holds a stream that has not reported its end.
    virtual bool isPlaying(int slot) const = 0;
    // Frames per second every stream renders at.
    virtual int sampleRate() const = 0;
};

} // namespace orv
