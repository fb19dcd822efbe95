#include "wavedecoder.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orv {

namespace {

constexpr int MaxRate = 768000;
// Floats per block read from the file, whatever the channel count.
constexpr int BlockSamples = 8192;

} // namespace

struct WaveDecoder::File {
    SNDFILE* handle = nullptr;
    ~File()
    {
        if (handle)
            sf_close(handle);
    }
};

WaveDecoder::WaveDecoder() = default;
WaveDecoder::~WaveDecoder() = default;

bool WaveDecoder::open(const QString& path, int outputRate)
{
    m_file.reset();
    m_pendingFrames = 0;
    m_position = 0.0;
    m_atEnd = false;
    // A FIFO or device would block the reader, and a folder is never a sound.
    if (outputRate < 1 || outputRate > MaxRate || !QFileInfo(path).isFile())
        return false;

    SF_INFO info {};
    auto file = std::make_unique<File>();
    file->handle = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file->handle || info.channels < 1 || info.samplerate < 1 || info.samplerate > MaxRate)
        return false;

    m_file = std::move(file);
    m_sourceRate = info.samplerate;
    m_channels = info.channels;
    m_outputRate = outputRate;
    m_step = double(m_sourceRate) / double(m_outputRate);

    // Front left and right keep their sides; a centre channel (the third, in the usual
    // 3, 5.1 and 7.1 layouts) goes to both at -3 dB; LFE is dropped; the rest alternate.
    m_leftGain.assign(std::size_t(m_channels), 0.0f);
    m_rightGain.assign(std::size_t(m_channels), 0.0f);
    if (m_channels == 1) {
        m_leftGain[0] = m_rightGain[0] = 1.0f;
    } else {
        for (int c = 0; c < m_channels; ++c) {
            if (c == 2 && (m_channels == 3 || m_channels >= 5)) {
                m_leftGain[2] = m_rightGain[2] = float(std::sqrt(0.5));
            } else if (c == 3 && m_channels >= 6) {
                continue;
            } else {
                (c % 2 == 0 ? m_leftGain : m_rightGain)[std::size_t(c)] = 1.0f;
            }
        }
        // Averaging keeps the fold-down within full scale.
        for (auto* gains : {&m_leftGain, &m_rightGain}) {
            float sum = 0.0f;
            for (float g : *gains)
                sum += g;
            for (float& g : *gains)
                g /= sum;
        }
    }

    const int blockFrames = std::max(1, BlockSamples / m_channels);
    m_raw.assign(std::size_t(blockFrames) * std::size_t(m_channels), 0.0f);
    m_pending.assign(std::size_t(blockFrames + 2) * 2, 0.0f);
    return true;
}

bool WaveDecoder::refill()
{
    // Keep the frame under the read position; it is the left end of the next interpolation.
    const std::size_t consumed = std::min(std::size_t(m_position), m_pendingFrames);
    const std::size_t kept = m_pendingFrames - consumed;
    std::memmove(m_pending.data(), m_pending.data() + consumed * 2, kept * 2 * sizeof(float));
    m_pendingFrames = kept;
    m_position -= double(consumed);

    const std::size_t blockFrames = m_raw.size() / std::size_t(m_channels);
    const sf_count_t got = sf_readf_float(m_file->handle, m_raw.data(), sf_count_t(blockFrames));
    if (got <= 0)
        return false;
    if (m_pending.size() < (kept + std::size_t(got)) * 2)
        m_pending.resize((kept + std::size_t(got)) * 2);
    float* dst = m_pending.data() + kept * 2;
    const float* src = m_raw.data();
    for (sf_count_t f = 0; f < got; ++f, src += m_channels, dst += 2) {
        float left = 0.0f;
        float right = 0.0f;
        for (int c = 0; c < m_channels; ++c) {
            left += src[c] * m_leftGain[std::size_t(c)];
            right += src[c] * m_rightGain[std::size_t(c)];
        }
        dst[0] = left;
        dst[1] = right;
    }
    m_pendingFrames = kept + std::size_t(got);
    return true;
}

int WaveDecoder::read(float* interleavedStereo, int frames)
{
    if (!m_file)
        return 0;
    int written = 0;
    while (written < frames) {
        const std::size_t at = std::size_t(m_position);
        if (at + 1 >= m_pendingFrames && !m_atEnd) {
            m_atEnd = !refill();
            continue;
        }
        if (at >= m_pendingFrames)
            break;
        const float* a = m_pending.data() + at * 2;
        const float* b = at + 1 < m_pendingFrames ? a + 2 : a;
        const float t = float(m_position - double(at));
        interleavedStereo[written * 2] = a[0] + (b[0] - a[0]) * t;
        interleavedStereo[written * 2 + 1] = a[1] + (b[1] - a[1]) * t;
        m_position += m_step;
        ++written;
    }
    return written;
}

} // namespace orv
