#include "modulestream.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

void raise(std::atomic<float>& peak, float value)
{
    float seen = peak.load(std::memory_order_relaxed);
    while (value > seen && !peak.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
    }
}

} // namespace

ModuleStream::ModuleStream(std::unique_ptr<ModuleDecoder> decoder, int outputRate)
    : decoder_(std::move(decoder)),
      rate_(outputRate),
      ring_(RingFrames, [this](float* out, int frames) { return decoder_ ? decoder_->render(rate_, out, frames) : 0; })
{
}

int ModuleStream::render(float* interleavedStereo, int frames)
{
    if (halted_.load(std::memory_order_acquire))
        return 0;
    const std::size_t start = ring_.framesRead();
    int real = 0;
    const int n = ring_.render(interleavedStereo, frames, &real);
    float peakL = 0.0f;
    float peakR = 0.0f;
    for (int i = 0; i < real; ++i) {
        peakL = std::max(peakL, std::fabs(interleavedStereo[i * 2]));
        peakR = std::max(peakR, std::fabs(interleavedStereo[i * 2 + 1]));
    }
    // Only the newest frames can still be in the scope.
    for (int i = std::max(0, real - int(ScopeFrames)); i < real; ++i) {
        const float mono = (interleavedStereo[i * 2] + interleavedStereo[i * 2 + 1]) * 0.5f;
        scope_[(start + std::size_t(i)) & (ScopeFrames - 1)].store(mono, std::memory_order_relaxed);
    }
    raise(peak_[0], peakL);
    raise(peak_[1], peakR);
    if (n < frames)
        ended_.store(true, std::memory_order_release);
    return n;
}

std::array<float, 2> ModuleStream::takePeaks()
{
    return {peak_[0].exchange(0.0f, std::memory_order_relaxed), peak_[1].exchange(0.0f, std::memory_order_relaxed)};
}

void ModuleStream::copyScope(std::vector<float>& out) const
{
    const std::size_t end = ring_.framesRead();
    out.resize(ScopeFrames);
    for (std::size_t i = 0; i < ScopeFrames; ++i)
        out[i] = scope_[(end + i) & (ScopeFrames - 1)].load(std::memory_order_relaxed);
}

} // namespace orv
