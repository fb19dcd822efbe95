#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orv {

// Small, deterministic sound building blocks for generated samples: band-limited tones, seeded
// noise, envelopes and conversion to the integer formats files store.
class Synth
{
public:
    // A tone made of harmonics: amplitudes[k] is the level of harmonic k + 1. Harmonics at or
    // above half the sample rate are left out, so the tone does not alias.
    static std::vector<float> harmonics(int length, double sampleRate, double frequency,
                                        std::span<const float> amplitudes, double phase = 0.0);

    // White noise in [-1, 1]; the same seed gives the same noise.
    static std::vector<float> noise(int length, std::uint32_t seed);

    // Linear attack over attackFrames, then exponential decay to 1/e every decayFrames.
    static void envelope(std::vector<float>& sound, int attackFrames, double decayFrames);

    // Fades the last frames linearly to silence, removing the click of a cut-off sound.
    static void fadeOut(std::vector<float>& sound, int frames);

    // Scales so the loudest sample reaches peak (0..1) of full range, then rounds.
    static std::vector<std::int8_t> toInt8(std::span<const float> sound, float peak = 0.95f);
    static std::vector<std::int16_t> toInt16(std::span<const float> sound, float peak = 0.9f);
};

} // namespace orv
