#pragma once

#include <QStringList>

namespace orv {

// The GStreamer elements Qt Multimedia's player builds every pipeline from (demuxing and
// decoding, conversion, audio output) that GStreamer's registry does not have. Qt 6.4 does not
// check for them and crashes building a player without them, so a video is only started when
// this is empty. Asked once per run; the registry does not change while the program runs.
QStringList missingPlayerElements();

} // namespace orv
