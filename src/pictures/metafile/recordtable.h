#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstddef>

namespace orv {

// One kind of record a player understands: how many parameter bytes its fixed fields take, and
// what playing it does. Playback carries the canvas, the record's parameters and a way to
// refuse it (tooShort()).
template <typename Playback>
struct RecordHandler
{
    quint32 type;
    qint64 minBytes;
    bool (*play)(Playback&);
};

// The one step every record goes through: find its handler, check the record holds the
// handler's fixed fields, call it. Handlers read those fields without checking each; what
// follows them (counts, strings, bitmaps) they check themselves. Types without a handler
// show nothing and are passed over.
template <typename Playback, std::size_t N>
class RecordTable
{
public:
    explicit RecordTable(const std::array<RecordHandler<Playback>, N>& handlers)
        : m_handlers(handlers)
    {
        std::ranges::sort(m_handlers, {}, &RecordHandler<Playback>::type);
        Q_ASSERT(std::ranges::adjacent_find(m_handlers, {}, &RecordHandler<Playback>::type) == m_handlers.end());
    }

    bool play(quint32 type, qint64 paramBytes, Playback& playback) const
    {
        const auto it = std::ranges::lower_bound(m_handlers, type, {}, &RecordHandler<Playback>::type);
        if (it == m_handlers.end() || it->type != type)
            return true;
        if (paramBytes < it->minBytes)
            return playback.tooShort();
        return it->play(playback);
    }

private:
    std::array<RecordHandler<Playback>, N> m_handlers;
};

} // namespace orv
