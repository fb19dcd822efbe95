#include "modplayerinstance.h"

#include "moduledecoder.h"
#include "modulestream.h"
#include "modplugview.h"
#include "platform/audiooutput.h"
#include "platform/modplughost.h"

#include <cstddef>
#include <string_view>

namespace orv {

namespace {

// The instance whose stream is in the module slot: stopping any other must not cut it off.
ModPlayerInstance* g_slotOwner = nullptr;

bool loopRequested(std::string_view params)
{
    // Pairs are "name|value|name|value...".
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = params.find('|', from);
        parts.push_back(params.substr(from, bar == std::string_view::npos ? std::string_view::npos : bar - from));
        if (bar == std::string_view::npos)
            break;
        from = bar + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i] == "loop")
            return parts[i + 1] == "true" || parts[i + 1] == "1";
    }
    return false;
}

} // namespace

ModPlayerInstance::ModPlayerInstance(const std::string& params)
    : loop_(loopRequested(params))
{
}

ModPlayerInstance::~ModPlayerInstance()
{
    stop();
    delete view_.data();
}

void ModPlayerInstance::attach(const ModPlugHost* host)
{
    delete view_.data();
    const bool complete = host && host->size >= sizeof(ModPlugHost);
    output_ = complete ? host->output : nullptr;
    if (complete && host->window)
        view_ = new ModPlugView(*this, host->window);
}

bool ModPlayerInstance::load(const std::string& path)
{
    path_ = path;
    ready_ = std::make_unique<ModuleDecoder>();
    if (!ready_->loadFile(path)) {
        ready_.reset();
        title_.clear();
        format_.clear();
        channels_ = 0;
        if (view_)
            view_->refresh();
        return false;
    }
    title_ = ready_->title();
    format_ = ready_->format();
    channels_ = ready_->channels();
    if (view_)
        view_->refresh();
    return true;
}

bool ModPlayerInstance::play()
{
    stop();
    if (!output_)
        return false;
    // A Play after Stop starts the module again from its beginning.
    if (!ready_ && !path_.empty()) {
        ready_ = std::make_unique<ModuleDecoder>();
        if (!ready_->loadFile(path_))
            ready_.reset();
    }
    if (!ready_)
        return false;
    ready_->setLooping(loop_);
    stream_ = std::make_shared<ModuleStream>(std::move(ready_), output_->sampleRate());
    output_->start(stream_, AudioOutput::ModuleSlot);
    g_slotOwner = this;
    if (view_)
        view_->refresh();
    return true;
}

void ModPlayerInstance::stop()
{
    if (!stream_)
        return;
    stream_->halt();
    if (g_slotOwner == this) {
        g_slotOwner = nullptr;
        if (output_)
            output_->stop(AudioOutput::ModuleSlot);
    }
    stream_.reset();
    if (view_)
        view_->refresh();
}

ModPlayerInstance::Progress ModPlayerInstance::progress(std::vector<float>& scope) const
{
    Progress p;
    if (!stream_) {
        scope.clear();
        return p;
    }
    p.playing = true;
    p.ended = stream_->ended();
    p.elapsedSeconds = double(stream_->framesPlayed()) / double(stream_->rate());
    p.peaks = stream_->takePeaks();
    stream_->copyScope(scope);
    return p;
}

} // namespace orv
