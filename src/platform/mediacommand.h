#pragma once

#include <QString>

namespace orv {

// One media-control command taken apart: "play <path>" or "play <path> fullscreen". The verb
// and the suffix ignore letter case; the path is kept exactly as given, spaces and all.
struct MediaCommand {
    enum class Verb { Unknown, Play };

    Verb verb = Verb::Unknown;
    QString path;
    bool fullScreen = false;

    static MediaCommand parse(const QString& command);
};

} // namespace orv
