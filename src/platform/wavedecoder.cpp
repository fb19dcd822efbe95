#include "wavedecoder.h"

#include "common/core/filenames.h"

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
    file_.reset();
    pendingFrames_ = 0;
    position_ = 0.0;
    atEnd_ = false;
    // A FIFO or device would block the reader, and a folder is never a sound.
    if (outputRate < 1 || outputRate > MaxRate || !isRegularFile(path))
        return false;

    SF_INFO info {};
    auto file = std::make_unique<File>();
    file->handle = sf_open(encodeFileName(path).constData(), SFM_READ, &info);
    if (!file->handle || info.channels < 1 || info.samplerate < 1 || info.samplerate > MaxRate)
        return false;

    file_ = std::move(file);
    sourceRate_ = info.samplerate;
    channels_ = info.channels;
    outputRate_ = outputRate;
    step_ = double(sourceRate_) / double(outputRate_);

    // Front left and right keep their sides; a centre channel (the third, in the usual
    // 3, 5.1 and 7.1 layouts) goes to both at -3 dB; LFE is dropped; the rest alternate.
    leftGain_.assign(std::size_t(channels_), 0.0f);
    rightGain_.assign(std::size_t(channels_), 0.0f);
    if (channels_ == 1) {
        leftGain_[0] = rightGain_[0] = 1.0f;
    } else {
        for (int c = 0; c < channels_; ++c) {
            if (c == 2 && (channels_ == 3 || channels_ >= 5)) {
                leftGain_[2] = rightGain_[2] = float(std::sqrt(0.5));
            } else if (c == 3 && channels_ >= 6) {
                continue;
            } else {
                (c % 2 == 0 ? leftGain_ : rightGain_)[std::size_t(c)] = 1.0f;
            }
        }
        // Averaging keeps the fold-down within full scale.
        for (auto* gains : {&leftGain_, &rightGain_}) {
            float sum = 0.0f;
            for (float g : *gains)
                sum += g;
            for (float& g : *gains)
                g /= sum;
        }
    }

    const int blockFrames = std::max(1, BlockSamples / channels_);
    raw_.assign(std::size_t(blockFrames) * std::size_t(channels_), 0.0f);
    pending_.assign(std::size_t(blockFrames + 2) * 2, 0.0f);
    return true;
}

bool WaveDecoder::refill()
{
    // Keep the frame under the read position; it is the left end of the next interpolation.
    const std::size_t consumed = std::min(std::size_t(position_), pendingFrames_);
    const std::size_t kept = pendingFrames_ - consumed;
    std::memmove(pending_.data(), pending_.data() + consumed * 2, kept * 2 * sizeof(float));
    pendingFrames_ = kept;
    position_ -= double(consumed);

    const std::size_t blockFrames = raw_.size() / std::size_t(channels_);
    const sf_count_t got = sf_readf_float(file_->handle, raw_.data(), sf_count_t(blockFrames));
    if (got <= 0)
        return false;
    if (pending_.size() < (kept + std::size_t(got)) * 2)
        pending_.resize((kept + std::size_t(got)) * 2);
    float* dst = pending_.data() + kept * 2;
    const float* src = raw_.data();
    for (sf_count_t f = 0; f < got; ++f, src += channels_, dst += 2) {
        float left = 0.0f;
        float right = 0.0f;
        for (int c = 0; c < channels_; ++c) {
            left += src[c] * leftGain_[std::size_t(c)];
            right += src[c] * rightGain_[std::size_t(c)];
        }
        dst[0] = left;
        dst[1] = right;
    }
    pendingFrames_ = kept + std::size_t(got);
    return true;
}

int WaveDecoder::read(float* interleavedStereo, int frames)
{
    if (!file_)
        return 0;
    int written = 0;
    while (written < frames) {
        const std::size_t at = std::size_t(position_);
        if (at + 1 >= pendingFrames_ && !atEnd_) {
            atEnd_ = !refill();
            continue;
        }
        if (at >= pendingFrames_)
            break;
        const float* a = pending_.data() + at * 2;
        const float* b = at + 1 < pendingFrames_ ? a + 2 : a;
        const float t = float(position_ - double(at));
        interleavedStereo[written * 2] = a[0] + (b[0] - a[0]) * t;
        interleavedStereo[written * 2 + 1] = a[1] + (b[1] - a[1]) * t;
        position_ += step_;
        ++written;
    }
    return written;
}

} // namespace orv
