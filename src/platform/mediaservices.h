#pragma once

#include "platform/audiooutput.h"
#include "platform/mediacontrol.h"
#include "platform/soundplayer.h"

#include <QLibrary>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace orv {

// The sound and video services as one object, made by the media library.
class MediaServices {
public:
    virtual ~MediaServices() = default;
    virtual AudioOutput& audio() = 0;
    virtual SoundPlayer& sound() = 0;
    virtual MediaControl& media() = 0;
};

// The media services loaded from their own library (liborvane-media.so in the given folder)
// at their first use. SDL, libsndfile and Qt Multimedia bring some forty shared
// libraries with them; a program that only browses and shows pictures never maps them, which
// keeps start-up as quick as a bare Qt program's. Without the library, sound and video are
// silent, as their contracts allow.
class LazyMediaServices final : public MediaServices, private AudioOutput, private SoundPlayer, private MediaControl {
public:
    explicit LazyMediaServices(QString folder);
    ~LazyMediaServices() override;

    AudioOutput& audio() override { return *this; }
    SoundPlayer& sound() override { return *this; }
    MediaControl& media() override { return *this; }

    static const char* const FileName;

private:
    MediaServices* loaded();

    void start(std::shared_ptr<AudioStream> stream, int slot) override;
    void stop(int slot) override;
    bool isPlaying(int slot) const override;
    int sampleRate() const override;
    void play(const QString& path) override;
    void stop() override;
    bool play(const QString& path, bool fullScreen) override;
    void passKeysTo(QWidget* window) override;

    QString folder_;
    QLibrary library_;
    std::unique_ptr<MediaServices> real_;
    bool tried_ = false;
    QPointer<QWidget> keysTo_;
};

} // namespace orv
