// libFuzzer target for the JASC palette reader.
#include "palette/core/palettereaders.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const orv::PaletteRead r = orv::readJascPalette(in);
    if (r.refused() && (!r.entries.isEmpty() || (r.refusal != orv::kNotAJascPalette && r.refusal != orv::kNotA256ColourJasc)))
        std::abort();
    if (r.entries.size() > orv::kPaletteSize)
        std::abort();
    // What the window makes of each entry must hold too.
    for (const orv::PaletteEntry& e : r.entries) {
        const orv::EntryParts p = orv::splitEntryText(orv::entryText(e));
        if (p.redLevel != orv::paintedLevel(e.red) || p.greenLevel != orv::paintedLevel(e.green)
            || p.blueLevel != orv::paintedLevel(e.blue))
            std::abort();
    }
    return 0;
}
