#pragma once

#include "moduledecoder.h"
#include "platform/audiostream.h"
#include "platform/decodedring.h"

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace orv {

// A module played as an audio stream. A thread of its own renders the decoder into a ring of
// about a third of a second, which the audio thread drains without locks, so the UI thread
// never decodes. The audio thread also keeps what the display needs: the frames played, the
// peaks since the display last looked and the last ScopeFrames frames. halt() silences it at
// once; destruction stops and joins the decoding thread.
class ModuleStream final : public AudioStream {
public:
    static constexpr std::size_t ScopeFrames = 512;  // a power of two

    ModuleStream(std::unique_ptr<ModuleDecoder> decoder, int outputRate);
    ModuleStream(const ModuleStream&) = delete;
    ModuleStream& operator=(const ModuleStream&) = delete;

    int render(float* interleavedStereo, int frames) override;
    void halt()
    {
        halted_.store(true, std::memory_order_release);
        ended_.store(true, std::memory_order_release);
    }

    int rate() const { return rate_; }
    std::size_t framesPlayed() const { return ring_.framesRead(); }
    // True once the last frame of the song has been played, or the stream was halted.
    bool ended() const { return ended_.load(std::memory_order_acquire); }
    // Highest absolute sample per side since the previous call.
    std::array<float, 2> takePeaks();
    // The last played frames, oldest first, mixed to mono; `out` becomes ScopeFrames long.
    void copyScope(std::vector<float>& out) const;

private:
    static constexpr std::size_t RingFrames = 16384;  // about a third of a second
    std::unique_ptr<ModuleDecoder> decoder_;
    int rate_;
    std::atomic<bool> halted_ {false};
    std::atomic<bool> ended_ {false};
    std::atomic<float> peak_[2] {0.0f, 0.0f};
    std::array<std::atomic<float>, ScopeFrames> scope_ {};
    DecodedRing ring_;  // last: its thread is joined before the decoder goes
};

} // namespace orv
