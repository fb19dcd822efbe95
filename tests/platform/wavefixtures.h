#pragma once

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace orv::test {

// A sine written with libsndfile in any encoding; channels not in `voiced` stay silent.
struct Tone {
    double frequency = 1000.0;
    double seconds = 0.25;
    int rate = 22050;
    int channels = 1;
    int encoding = SF_FORMAT_PCM_16;
    unsigned voiced = ~0u;
};

inline bool writeTone(const QString& path, const Tone& tone)
{
    SF_INFO info {0, tone.rate, tone.channels, SF_FORMAT_WAV | tone.encoding, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const int frames = int(tone.seconds * tone.rate);
    std::vector<float> samples(std::size_t(frames * tone.channels), 0.0f);
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < tone.channels; ++c) {
            if (tone.voiced & (1u << c))
                samples[std::size_t(f * tone.channels + c)] =
                    float(0.5 * std::sin(2.0 * std::numbers::pi * tone.frequency * f / tone.rate));
        }
    }
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

// Peaks of both sides of interleaved stereo, and the sign changes on the left (two per period;
// a band around zero keeps coding noise from counting).
struct Heard {
    float peakLeft = 0.0f;
    float peakRight = 0.0f;
    int crossings = 0;
    std::size_t frames = 0;
};

inline Heard listen(const std::vector<float>& stereo)
{
    Heard h;
    h.frames = stereo.size() / 2;
    int side = 0;
    for (std::size_t f = 0; f < h.frames; ++f) {
        const float l = stereo[f * 2];
        h.peakLeft = std::max(h.peakLeft, std::fabs(l));
        h.peakRight = std::max(h.peakRight, std::fabs(stereo[f * 2 + 1]));
        const int now = l > 0.05f ? 1 : l < -0.05f ? -1 : 0;
        if (now != 0 && side != 0 && now != side)
            ++h.crossings;
        if (now != 0)
            side = now;
    }
    return h;
}

// Sends SDL's output to a file through SDL's "disk" driver, which plays in real time, so a
// test can read what reached the device. Make it before the test's first SdlAudioOutput.
class DiskAudio {
public:
    DiskAudio()
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path()));
    }
    QString path() const { return dir_.filePath(QStringLiteral("out.raw")); }
    qint64 bytesWritten() const { return QFileInfo(path()).size(); }
    std::vector<float> samples() const
    {
        QFile f(path());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        std::vector<float> out(std::size_t(bytes.size()) / sizeof(float));
        std::memcpy(out.data(), bytes.constData(), out.size() * sizeof(float));
        return out;
    }

private:
    QTemporaryDir dir_;
};

} // namespace orv::test
