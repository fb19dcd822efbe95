#pragma once

#include "platform/mediacontrol.h"
#include "platform/soundplayer.h"

#include <QStringList>

namespace orv::test {

// Records the sounds asked for, in order; plays nothing.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    QStringList played;
    int stops = 0;
    void play(const QString& path) override { played.append(path); }
    void stop() override { ++stops; }
};

// Records every video asked for; plays none, and answers `result`.
class RecordingMediaControl final : public MediaControl {
public:
    struct Played {
        QString path;
        bool fullScreen = false;
        friend bool operator==(const Played&, const Played&) = default;
    };
    QList<Played> played;
    bool result = true;
    bool play(const QString& path, bool fullScreen) override
    {
        played.append({path, fullScreen});
        return result;
    }
};

} // namespace orv::test
