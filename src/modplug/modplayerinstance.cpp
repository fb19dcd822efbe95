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
    : m_loop(loopRequested(params))
{
}

ModPlayerInstance::~ModPlayerInstance()
{
    stop();
    delete m_view.data();
}

void ModPlayerInstance::attach(const ModPlugHost* host)
{
    delete m_view.data();
    const bool complete = host && host->size >= sizeof(ModPlugHost);
    m_output = complete ? host->output : nullptr;
    if (complete && host->window)
        m_view = new ModPlugView(*this, host->window);
}

bool ModPlayerInstance::load(const std::string& path)
{
    m_path = path;
    m_ready = std::make_unique<ModuleDecoder>();
    if (!m_ready->loadFile(path)) {
        m_ready.reset();
        m_title.clear();
        m_format.clear();
        m_channels = 0;
        if (m_view)
            m_view->refresh();
        return false;
    }
    m_title = m_ready->title();
    m_format = m_ready->format();
    m_channels = m_ready->channels();
    if (m_view)
        m_view->refresh();
    return true;
}

bool ModPlayerInstance::play()
{
    stop();
    if (!m_output)
        return false;
    // A Play after Stop starts the module again from its beginning.
    if (!m_ready && !m_path.empty()) {
        m_ready = std::make_unique<ModuleDecoder>();
        if (!m_ready->loadFile(m_path))
            m_ready.reset();
    }
    if (!m_ready)
        return false;
    m_ready->setLooping(m_loop);
    m_stream = std::make_shared<ModuleStream>(std::move(m_ready), m_output->sampleRate());
    m_output->start(m_stream, AudioOutput::ModuleSlot);
    g_slotOwner = this;
    if (m_view)
        m_view->refresh();
    return true;
}

void ModPlayerInstance::stop()
{
    if (!m_stream)
        return;
    m_stream->halt();
    if (g_slotOwner == this) {
        g_slotOwner = nullptr;
        if (m_output)
            m_output->stop(AudioOutput::ModuleSlot);
    }
    m_stream.reset();
    if (m_view)
        m_view->refresh();
}

ModPlayerInstance::Progress ModPlayerInstance::progress(std::vector<float>& scope) const
{
    Progress p;
    if (!m_stream) {
        scope.clear();
        return p;
    }
    p.playing = true;
    p.ended = m_stream->ended();
    p.elapsedSeconds = double(m_stream->framesPlayed()) / double(m_stream->rate());
    p.peaks = m_stream->takePeaks();
    m_stream->copyScope(scope);
    return p;
}

} // namespace orv
