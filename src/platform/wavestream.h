#pragma once

#include "platform/audiostream.h"
#include "platform/decodedring.h"

#include <QString>

namespace orv {

// A wave file played as an audio stream. A thread of its own opens and decodes the file into
// a ring of about a third of a second, which the audio thread drains without locks; so the
// caller never waits for the file and memory stays the same for any length. A file that
// cannot be read is an empty stream. Destruction stops and joins the decoding thread.
class WaveStream final : public AudioStream {
public:
    WaveStream(const QString& path, int outputRate);

    int render(float* interleavedStereo, int frames) override { return ring_.render(interleavedStereo, frames); }

    // True once the decoder has reached the end of the file (or found it unreadable).
    bool decodingDone() const { return ring_.finished(); }

private:
    DecodedRing ring_;
};

} // namespace orv
