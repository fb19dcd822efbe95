#include "platform/mediaservices.h"

#include <QDir>

namespace orv {

const char* const LazyMediaServices::FileName = "liborvane-media.so";

LazyMediaServices::LazyMediaServices(QString folder) : folder_(std::move(folder)) {}

// The library stays mapped to the end: its threads may still be winding down.
LazyMediaServices::~LazyMediaServices() = default;

MediaServices* LazyMediaServices::loaded()
{
    if (!tried_) {
        tried_ = true;
        library_.setFileName(QDir(folder_).filePath(QLatin1String(FileName)));
        using Factory = MediaServices* (*)();
        if (auto make = reinterpret_cast<Factory>(library_.resolve("orvane_create_media_services")))
            real_.reset(make());
    }
    return real_.get();
}

void LazyMediaServices::start(std::shared_ptr<AudioStream> stream, int slot)
{
    if (MediaServices* m = loaded())
        m->audio().start(std::move(stream), slot);
}

void LazyMediaServices::stop(int slot)
{
    if (real_)
        real_->audio().stop(slot);
}

bool LazyMediaServices::isPlaying(int slot) const
{
    return real_ && real_->audio().isPlaying(slot);
}

int LazyMediaServices::sampleRate() const
{
    // The rate is only asked for by someone about to play: load now.
    auto* self = const_cast<LazyMediaServices*>(this);
    MediaServices* m = self->loaded();
    return m ? m->audio().sampleRate() : 48000;
}

void LazyMediaServices::play(const QString& path)
{
    if (MediaServices* m = loaded())
        m->sound().play(path);
}

void LazyMediaServices::stop()
{
    if (real_)
        real_->sound().stop();
}

bool LazyMediaServices::play(const QString& path, bool fullScreen)
{
    MediaServices* m = loaded();
    if (m)
        m->media().passKeysTo(keysTo_);
    return m && m->media().play(path, fullScreen);
}

void LazyMediaServices::passKeysTo(QWidget* window)
{
    keysTo_ = window;
}

} // namespace orv
