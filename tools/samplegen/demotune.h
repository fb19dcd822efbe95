#pragma once

#include "modwriter.h"

namespace orv {

// The short four-channel tune in the sample folder: an intro, then two melody patterns that
// loop. Bass on the left, lead and drums on the right, arpeggios on the left, as Amiga panning goes.
class DemoTune
{
public:
    static ModSong song();

    // The pitched instruments are built so one cycle at C-2 is this many sample frames long;
    // whole cycles make seamless loops.
    static constexpr int cycleFrames = 32;
    // Playback rate of a sample at C-2 (period 428) on a PAL Amiga.
    static constexpr double rateAtC2 = 7093789.2 / (2.0 * 428.0);
};

} // namespace orv
