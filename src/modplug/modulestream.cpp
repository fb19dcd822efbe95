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
    : m_decoder(std::move(decoder)),
      m_rate(outputRate),
      m_ring(RingFrames, [this](float* out, int frames) { return m_decoder ? m_decoder->render(m_rate, out, frames) : 0; })
{
}

int ModuleStream::render(float* interleavedStereo, int frames)
{
    if (m_halted.load(std::memory_order_acquire))
        return 0;
    const std::size_t start = m_ring.framesRead();
    int real = 0;
    const int n = m_ring.render(interleavedStereo, frames, &real);
    float peakL = 0.0f;
    float peakR = 0.0f;
    for (int i = 0; i < real; ++i) {
        peakL = std::max(peakL, std::fabs(interleavedStereo[i * 2]));
        peakR = std::max(peakR, std::fabs(interleavedStereo[i * 2 + 1]));
    }
    // Only the newest frames can still be in the scope.
    for (int i = std::max(0, real - int(ScopeFrames)); i < real; ++i) {
        const float mono = (interleavedStereo[i * 2] + interleavedStereo[i * 2 + 1]) * 0.5f;
        m_scope[(start + std::size_t(i)) & (ScopeFrames - 1)].store(mono, std::memory_order_relaxed);
    }
    raise(m_peak[0], peakL);
    raise(m_peak[1], peakR);
    if (n < frames)
        m_ended.store(true, std::memory_order_release);
    return n;
}

std::array<float, 2> ModuleStream::takePeaks()
{
    return {m_peak[0].exchange(0.0f, std::memory_order_relaxed), m_peak[1].exchange(0.0f, std::memory_order_relaxed)};
}

void ModuleStream::copyScope(std::vector<float>& out) const
{
    const std::size_t end = m_ring.framesRead();
    out.resize(ScopeFrames);
    for (std::size_t i = 0; i < ScopeFrames; ++i)
        out[i] = m_scope[(end + i) & (ScopeFrames - 1)].load(std::memory_order_relaxed);
}

} // namespace orv
