// The media library's one entry point: the real sound and video services.
#include "platform/mediaservices.h"
#include "platform/qtmediacontrol.h"
#include "platform/sdlaudiooutput.h"
#include "platform/sdlsoundplayer.h"

namespace {

class RealMediaServices final : public orv::MediaServices {
public:
    orv::AudioOutput& audio() override { return audio_; }
    orv::SoundPlayer& sound() override { return sound_; }
    orv::MediaControl& media() override { return media_; }

private:
    orv::SdlAudioOutput audio_;
    orv::SdlSoundPlayer sound_{audio_};
    orv::QtMediaControl media_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) orv::MediaServices* orvane_create_media_services()
{
    return new RealMediaServices;
}
