#include "modwriter.h"

#include "bytewriter.h"

#include <algorithm>
#include <array>

namespace orv {

namespace {

constexpr std::array<int, 36> periods {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

constexpr int maxSampleBytes = 0xffff * 2;

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

bool validate(const ModSong& song, QString* error)
{
    if (song.channels < 1 || song.channels > 32)
        return fail(error, QStringLiteral("channel count %1 is not 1..32").arg(song.channels));
    if (song.samples.size() > 31)
        return fail(error, QStringLiteral("more than 31 samples"));
    if (song.order.empty() || song.order.size() > 128)
        return fail(error, QStringLiteral("the order list needs 1..128 entries"));
    for (const int p : song.order) {
        if (p < 0 || p > 127 || std::size_t(p) >= song.patterns.size())
            return fail(error, QStringLiteral("order entry %1 names no pattern").arg(p));
    }
    for (std::size_t i = 0; i < song.samples.size(); ++i) {
        const ModSample& s = song.samples[i];
        const auto n = QString::number(i + 1);
        if (s.data.size() > std::size_t(maxSampleBytes))
            return fail(error, QStringLiteral("sample %1 is longer than 131070 bytes").arg(n));
        if (s.volume < 0 || s.volume > 64 || s.finetune < -8 || s.finetune > 7)
            return fail(error, QStringLiteral("sample %1 has a volume or finetune out of range").arg(n));
        if (s.loopStart < 0 || s.loopLength < 0 || s.loopStart % 2 != 0 || s.loopLength % 2 != 0
            || std::size_t(s.loopStart) + std::size_t(s.loopLength) > s.data.size() + 1)
            return fail(error, QStringLiteral("sample %1 loops outside its data").arg(n));
    }
    for (std::size_t p = 0; p < song.patterns.size(); ++p) {
        if (song.patterns[p].size() != std::size_t(ModSong::rows) * std::size_t(song.channels))
            return fail(error, QStringLiteral("pattern %1 does not hold 64 rows").arg(p));
        for (const ModCell& c : song.patterns[p]) {
            if (c.period < 0 || c.period > 0xfff || c.sample < 0 || c.sample > 31 || c.effect < 0
                || c.effect > 0xf || c.param < 0 || c.param > 0xff)
                return fail(error, QStringLiteral("pattern %1 holds a cell out of range").arg(p));
        }
    }
    return true;
}

} // namespace

int ModWriter::period(int octave, int semitone)
{
    if (octave < 1 || octave > 3 || semitone < 0 || semitone > 11)
        return 0;
    return periods[std::size_t((octave - 1) * 12 + semitone)];
}

int ModWriter::period(std::string_view note)
{
    static constexpr std::string_view names = "C-C#D-D#E-F-F#G-G#A-A#B-";
    if (note.size() != 3)
        return 0;
    for (int semitone = 0; semitone < 12; ++semitone) {
        if (names.substr(std::size_t(semitone) * 2, 2) == note.substr(0, 2))
            return period(note[2] - '0', semitone);
    }
    return 0;
}

QByteArray ModWriter::tag(int channels, int patternCount)
{
    if (channels == 4)
        return patternCount > 64 ? QByteArrayLiteral("M!K!") : QByteArrayLiteral("M.K.");
    if (channels >= 1 && channels <= 9)
        return QByteArray::number(channels) + "CHN";
    if (channels >= 10 && channels <= 32)
        return QByteArray::number(channels) + "CH";
    return {};
}

QByteArray ModWriter::encode(const ModSong& song, QString* error)
{
    if (!validate(song, error))
        return {};
    const int patternCount = *std::max_element(song.order.begin(), song.order.end()) + 1;

    ByteWriter out;
    out.text(song.title, 20);
    for (std::size_t i = 0; i < 31; ++i) {
        if (i >= song.samples.size()) {
            out.zeros(22);
            out.be16(0);
            out.u8(0);
            out.u8(0);
            out.be16(0);
            out.be16(1);   // a one-word loop means "no loop"
            continue;
        }
        const ModSample& s = song.samples[i];
        out.text(s.name, 22);
        out.be16(std::uint32_t((s.data.size() + 1) / 2));
        out.u8(std::uint32_t(s.finetune & 0x0f));
        out.u8(std::uint32_t(s.volume));
        if (s.loopLength > 0) {
            out.be16(std::uint32_t(s.loopStart / 2));
            out.be16(std::uint32_t(s.loopLength / 2));
        } else {
            out.be16(0);
            out.be16(1);
        }
    }
    out.u8(std::uint32_t(song.order.size()));
    out.u8(127);   // restart byte as ProTracker writes it; loops are done with pattern jumps
    for (std::size_t i = 0; i < 128; ++i)
        out.u8(i < song.order.size() ? std::uint32_t(song.order[i]) : 0u);
    out.bytes(tag(song.channels, patternCount));

    for (int p = 0; p < patternCount; ++p) {
        for (const ModCell& c : song.patterns[std::size_t(p)]) {
            out.u8(std::uint32_t((c.sample & 0xf0) | ((c.period >> 8) & 0x0f)));
            out.u8(std::uint32_t(c.period & 0xff));
            out.u8(std::uint32_t(((c.sample & 0x0f) << 4) | c.effect));
            out.u8(std::uint32_t(c.param));
        }
    }
    for (const ModSample& s : song.samples) {
        for (const std::int8_t v : s.data)
            out.u8(std::uint8_t(v));
        if (s.data.size() % 2 != 0)
            out.u8(0);
    }
    return out.take();
}

} // namespace orv
