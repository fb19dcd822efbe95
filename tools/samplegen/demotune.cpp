#include "demotune.h"

#include "synth.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace orv {

namespace {

enum Instrument { Lead = 1, Bass, Pluck, Kick, Snare, Hat };
enum Channel { BassChannel = 0, LeadChannel = 1, DrumChannel = 2, ArpChannel = 3 };

constexpr int effectVibrato = 0x4;
constexpr int effectJump = 0xB;
constexpr int effectVolume = 0xC;
constexpr int effectSpeed = 0xF;

ModSample lead()
{
    const double f = DemoTune::rateAtC2 / DemoTune::cycleFrames;
    constexpr std::array<float, 12> tone {1.0f, 0.3f, 0.36f, 0.12f, 0.2f, 0.07f, 0.12f, 0.04f, 0.07f, 0.02f, 0.04f, 0.01f};
    // A second voice one cycle faster per loop beats gently and still loops cleanly.
    constexpr int loop = 2048;
    constexpr double cyclesPerLoop = loop / DemoTune::cycleFrames;
    std::vector<float> a = Synth::harmonics(2 * loop, DemoTune::rateAtC2, f, tone);
    const std::vector<float> b = Synth::harmonics(2 * loop, DemoTune::rateAtC2, f * (cyclesPerLoop + 1) / cyclesPerLoop, tone);
    for (std::size_t i = 0; i < a.size(); ++i) {
        float gain = 0.6f;
        if (i < 48)
            gain = float(i) / 48.0f;
        else if (i < std::size_t(loop))
            gain = 0.6f + 0.4f * float(std::exp(-double(i - 48) / 500.0));
        a[i] = gain * (a[i] + 0.5f * b[i]);
    }
    return {"soft square lead", Synth::toInt8(a), 40, 0, loop, loop};
}

ModSample bass()
{
    const double f = DemoTune::rateAtC2 / (2 * DemoTune::cycleFrames);
    constexpr std::array<float, 6> tone {1.0f, 0.55f, 0.25f, 0.12f, 0.05f, 0.02f};
    std::vector<float> s = Synth::harmonics(6400, DemoTune::rateAtC2, f, tone);
    Synth::envelope(s, 24, 2600.0);
    Synth::fadeOut(s, 200);
    return {"round bass", Synth::toInt8(s), 60, 0, 0, 0};
}

ModSample pluck()
{
    const double f = DemoTune::rateAtC2 / DemoTune::cycleFrames;
    constexpr std::array<float, 8> tone {1.0f, 0.45f, 0.2f, 0.25f, 0.08f, 0.1f, 0.03f, 0.05f};
    std::vector<float> s = Synth::harmonics(4000, DemoTune::rateAtC2, f, tone);
    // Upper harmonics fade sooner, as on a plucked string.
    const std::vector<float> bright = Synth::harmonics(4000, DemoTune::rateAtC2, f * 4, std::array<float, 2> {0.3f, 0.1f});
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] += bright[i] * float(std::exp(-double(i) / 300.0));
    Synth::envelope(s, 6, 1100.0);
    Synth::fadeOut(s, 200);
    return {"pluck", Synth::toInt8(s), 34, 0, 0, 0};
}

// Drums are played at C-3, twice the C-2 rate, for a brighter top end.
constexpr double drumRate = DemoTune::rateAtC2 * 2.0;

ModSample kick()
{
    std::vector<float> s(std::size_t(drumRate * 0.28));
    double phase = 0.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / drumRate;
        const double f = 45.0 + 110.0 * std::exp(-t / 0.035);
        phase += 2.0 * std::numbers::pi * f / drumRate;
        s[i] = float(std::sin(phase) * std::exp(-t / 0.11));
    }
    Synth::fadeOut(s, 300);
    return {"kick", Synth::toInt8(s), 64, 0, 0, 0};
}

ModSample snare()
{
    const int n = int(drumRate * 0.2);
    std::vector<float> s = Synth::noise(n, 1234);
    float low = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        low += 0.35f * (s[i] - low);   // take the fizz off the noise
        const double t = double(i) / drumRate;
        s[i] = float(low * 1.4 * std::exp(-t / 0.06) + 0.6 * std::sin(2.0 * std::numbers::pi * 185.0 * t) * std::exp(-t / 0.03));
    }
    Synth::fadeOut(s, 200);
    return {"snare", Synth::toInt8(s), 48, 0, 0, 0};
}

ModSample hat()
{
    const int n = int(drumRate * 0.09);
    std::vector<float> s = Synth::noise(n, 4321);
    float previous = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float high = s[i] - previous;   // keep the top end only
        previous = s[i];
        s[i] = float(high * std::exp(-double(i) / (drumRate * 0.022)));
    }
    Synth::fadeOut(s, 100);
    return {"hihat", Synth::toInt8(s), 30, 0, 0, 0};
}

struct Chord
{
    std::string_view bassRoot, bassOctave, bassFifth;
    std::array<std::string_view, 4> arp;
};

// Am - F - C - G, one bar (16 rows) each.
constexpr std::array<Chord, 4> progression {{
    {"A-1", "A-2", "E-2", {"A-2", "C-3", "E-3", "A-3"}},
    {"F-1", "F-2", "C-2", {"F-2", "A-2", "C-3", "F-3"}},
    {"C-1", "C-2", "G-1", {"G-2", "C-3", "E-3", "G-3"}},
    {"G-1", "G-2", "D-2", {"G-2", "B-2", "D-3", "G-3"}},
}};

struct MelodyNote
{
    int row;
    std::string_view note;
    int length;   // rows it is held, for the vibrato
};

void put(ModSong& song, int pattern, int row, int channel, std::string_view note, int sample, int effect = 0, int param = 0)
{
    ModCell& c = song.cell(pattern, row, channel);
    c.period = note.empty() ? 0 : ModWriter::period(note);
    c.sample = sample;
    c.effect = effect;
    c.param = param;
}

void bassAndArp(ModSong& song, int pattern, bool intro)
{
    for (int bar = 0; bar < 4; ++bar) {
        const Chord& chord = progression[std::size_t(bar)];
        const int r = bar * 16;
        put(song, pattern, r + 0, BassChannel, chord.bassRoot, Bass);
        put(song, pattern, r + 6, BassChannel, chord.bassRoot, Bass, effectVolume, 0x28);
        put(song, pattern, r + 8, BassChannel, chord.bassOctave, Bass);
        put(song, pattern, r + 12, BassChannel, chord.bassRoot, Bass);
        put(song, pattern, r + 14, BassChannel, chord.bassFifth, Bass, effectVolume, 0x30);
        constexpr std::array<int, 8> shape {0, 1, 2, 3, 2, 1, 2, 1};
        for (int step = 0; step < 8; ++step) {
            const int volume = (intro ? 0x16 : 0x1c) + (step % 2 == 0 ? 6 : 0);
            put(song, pattern, r + step * 2, ArpChannel, chord.arp[std::size_t(shape[std::size_t(step)])], Pluck, effectVolume, volume);
        }
    }
}

void drums(ModSong& song, int pattern, bool intro, bool fill)
{
    for (int bar = 0; bar < 4; ++bar) {
        const int r = bar * 16;
        const bool light = intro && bar < 2;
        for (int hatRow : {2, 6, 10, 14})
            put(song, pattern, r + hatRow, DrumChannel, "C-3", Hat, effectVolume, light ? 0x1a : 0x14);
        if (light) {
            for (int beat : {0, 4, 8, 12})
                put(song, pattern, r + beat, DrumChannel, "C-3", Hat, effectVolume, 0x22);
            continue;
        }
        put(song, pattern, r + 0, DrumChannel, "C-3", Kick);
        put(song, pattern, r + 4, DrumChannel, "C-3", Snare);
        put(song, pattern, r + 8, DrumChannel, "C-3", Kick);
        put(song, pattern, r + 12, DrumChannel, "C-3", Snare);
    }
    if (fill) {
        for (int row = 56; row < 64; ++row)
            put(song, pattern, row, DrumChannel, "C-3", Snare, effectVolume, 0x18 + (row - 56) * 4);
    }
}

void melody(ModSong& song, int pattern, std::initializer_list<MelodyNote> notes)
{
    for (const MelodyNote& n : notes) {
        put(song, pattern, n.row, LeadChannel, n.note, Lead);
        // Long notes get a little vibrato once they have sounded for a moment.
        for (int row = n.row + 3; row < n.row + n.length; ++row)
            put(song, pattern, row, LeadChannel, {}, 0, effectVibrato, 0x43);
    }
}

} // namespace

ModSong DemoTune::song()
{
    ModSong song;
    song.title = "orvane morning";
    song.channels = 4;
    song.samples = {lead(), bass(), pluck(), kick(), snare(), hat()};

    const int intro = song.addPattern();
    bassAndArp(song, intro, true);
    drums(song, intro, true, false);
    put(song, intro, 0, LeadChannel, {}, 0, effectSpeed, 5);

    const int first = song.addPattern();
    bassAndArp(song, first, false);
    drums(song, first, false, false);
    melody(song, first, {
        {0, "A-2", 4}, {4, "C-3", 4}, {8, "E-3", 4}, {12, "D-3", 2}, {14, "C-3", 2},
        {16, "C-3", 4}, {20, "A-2", 4}, {24, "F-2", 6}, {30, "A-2", 2},
        {32, "G-2", 4}, {36, "C-3", 4}, {40, "E-3", 4}, {44, "G-3", 4},
        {48, "F-3", 2}, {50, "E-3", 2}, {52, "D-3", 8}, {60, "B-2", 4},
    });

    const int second = song.addPattern();
    bassAndArp(song, second, false);
    drums(song, second, false, true);
    melody(song, second, {
        {0, "E-3", 4}, {4, "E-3", 2}, {6, "D-3", 2}, {8, "C-3", 4}, {12, "D-3", 2}, {14, "E-3", 2},
        {16, "F-3", 4}, {20, "E-3", 4}, {24, "D-3", 4}, {28, "C-3", 4},
        {32, "E-3", 4}, {36, "D-3", 2}, {38, "C-3", 2}, {40, "G-2", 4}, {44, "C-3", 4},
        {48, "B-2", 6}, {54, "C-3", 2}, {56, "D-3", 8},
    });
    // Back to the first melody pattern: the intro plays once.
    put(song, second, 63, BassChannel, {}, 0, effectJump, first);

    song.order = {intro, first, second};
    return song;
}

} // namespace orv
