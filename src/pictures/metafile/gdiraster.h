#pragma once

#include <QColor>
#include <QPainter>

#include <optional>

namespace orv {

// How a binary raster operation paints: through a composition mode, as plain black or white,
// or not at all.
struct RasterOp
{
    bool draw = true;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    std::optional<QColor> colour;   // black or white from the operation itself
};

// truthTable bit (s * 2 + d) is the result for source or pen bit s and destination bit d.
RasterOp rasterOp(int truthTable);

} // namespace orv
