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

// Records every media command as sent; runs none, and answers `result`.
class RecordingMediaControl final : public MediaControl {
public:
    QStringList commands;
    bool result = true;
    bool sendString(const QString& command) override
    {
        commands.append(command);
        return result;
    }
};

} // namespace orv::test
