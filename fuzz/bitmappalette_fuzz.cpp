// libFuzzer target for the bitmap colour-table reader.
#include "palette/core/palettereaders.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const orv::PaletteRead r = orv::readBitmapPalette(in);
    // Refused with nothing delivered, or exactly 256 byte-sized entries.
    if (r.refused() ? (r.refusal != orv::kNotAn8BitBitmap || !r.entries.isEmpty()) : r.entries.size() != 256)
        std::abort();
    for (const orv::PaletteEntry& e : r.entries)
        if (e.red < 0 || e.red > 255 || e.green < 0 || e.green > 255 || e.blue < 0 || e.blue > 255)
            std::abort();
    return 0;
}
