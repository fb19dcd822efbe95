#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orv {

namespace {

float loudest(std::span<const float> sound)
{
    float peak = 0.0f;
    for (const float s : sound)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

} // namespace

std::vector<float> Synth::harmonics(int length, double sampleRate, double frequency,
                                    std::span<const float> amplitudes, double phase)
{
    std::vector<float> out(std::size_t(std::max(length, 0)), 0.0f);
    for (std::size_t k = 0; k < amplitudes.size(); ++k) {
        const double f = frequency * double(k + 1);
        if (f >= sampleRate / 2 || amplitudes[k] == 0.0f)
            continue;
        const double step = 2.0 * std::numbers::pi * f / sampleRate;
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] += amplitudes[k] * float(std::sin(step * double(i) + phase * double(k + 1)));
    }
    return out;
}

std::vector<float> Synth::noise(int length, std::uint32_t seed)
{
    std::vector<float> out(std::size_t(std::max(length, 0)));
    std::uint32_t state = seed ? seed : 0x9e3779b9u;
    for (float& s : out) {
        // xorshift32: tiny, fast and the same on every platform.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        s = float(state) / 2147483648.0f - 1.0f;
    }
    return out;
}

void Synth::envelope(std::vector<float>& sound, int attackFrames, double decayFrames)
{
    for (std::size_t i = 0; i < sound.size(); ++i) {
        float gain = 1.0f;
        if (attackFrames > 0 && i < std::size_t(attackFrames))
            gain = float(i) / float(attackFrames);
        else if (decayFrames > 0)
            gain = float(std::exp(-double(i - std::size_t(std::max(attackFrames, 0))) / decayFrames));
        sound[i] *= gain;
    }
}

void Synth::fadeOut(std::vector<float>& sound, int frames)
{
    const std::size_t n = std::min(sound.size(), std::size_t(std::max(frames, 0)));
    for (std::size_t i = 0; i < n; ++i)
        sound[sound.size() - 1 - i] *= float(i) / float(n);
}

std::vector<std::int8_t> Synth::toInt8(std::span<const float> sound, float peak)
{
    const float top = loudest(sound);
    const float scale = top > 0.0f ? 127.0f * std::clamp(peak, 0.0f, 1.0f) / top : 0.0f;
    std::vector<std::int8_t> out;
    out.reserve(sound.size());
    for (const float s : sound)
        out.push_back(std::int8_t(std::clamp(std::lround(s * scale), -128L, 127L)));
    return out;
}

std::vector<std::int16_t> Synth::toInt16(std::span<const float> sound, float peak)
{
    const float top = loudest(sound);
    const float scale = top > 0.0f ? 32767.0f * std::clamp(peak, 0.0f, 1.0f) / top : 0.0f;
    std::vector<std::int16_t> out;
    out.reserve(sound.size());
    for (const float s : sound)
        out.push_back(std::int16_t(std::clamp(std::lround(s * scale), -32768L, 32767L)));
    return out;
}

} // namespace orv
