#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace orv {

// One instrument of a tracker module: signed 8-bit mono sound played at the rate its note asks.
struct ModSample
{
    QByteArray name;                 // up to 22 bytes
    std::vector<std::int8_t> data;   // up to 131070 bytes; an odd length gets a zero appended
    int volume = 64;                 // 0..64
    int finetune = 0;                // -8..7, eighths of a semitone
    int loopStart = 0;               // bytes, even
    int loopLength = 0;              // bytes, even; 0 plays the sample once
};

// One note slot. period 0 leaves the note alone, sample 0 keeps the channel's instrument.
struct ModCell
{
    int period = 0;   // Amiga period, see ModWriter::period()
    int sample = 0;   // 1..31
    int effect = 0;   // 0x0..0xF
    int param = 0;    // 0x00..0xFF
};

// A whole song: samples, 64-row patterns and the order they play in.
struct ModSong
{
    static constexpr int rows = 64;

    QByteArray title;   // up to 20 bytes
    int channels = 4;   // 1..32; 4 is the classic "M.K." layout
    std::vector<ModSample> samples;              // up to 31
    std::vector<std::vector<ModCell>> patterns;  // rows * channels cells each, row by row
    std::vector<int> order;                      // 1..128 pattern numbers

    int addPattern()
    {
        patterns.emplace_back(std::size_t(rows) * std::size_t(channels));
        return int(patterns.size()) - 1;
    }
    ModCell& cell(int pattern, int row, int channel)
    {
        return patterns.at(std::size_t(pattern)).at(std::size_t(row) * std::size_t(channels) + std::size_t(channel));
    }
};

// ProTracker-layout modules (.mod): title, 31 sample headers, order list, a four-letter tag at
// offset 1080 that gives the channel count ("M.K.", "6CHN", "16CH", ...), patterns, sample data.
class ModWriter
{
public:
    // Returns the whole file, or an empty array and a reason in *error when a field is out of
    // range. Only the patterns up to the highest one in the order list are stored.
    static QByteArray encode(const ModSong& song, QString* error = nullptr);

    // The period of a note in the three-octave Amiga range, e.g. "C-1" (856) to "B-3" (113);
    // sharps are written "C#2". Returns 0 for anything else.
    static int period(std::string_view note);
    static int period(int octave, int semitone);

    // The four-letter tag for a channel count, empty when the count has none.
    static QByteArray tag(int channels, int patternCount);
};

} // namespace orv
