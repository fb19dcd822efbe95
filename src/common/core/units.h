#pragma once

#include <cmath>

namespace orv {

// Twips are 1/1440 inch; the designed layout is in twips and becomes pixels through the
// screen's twips per pixel (15 at 96 DPI).
inline int twipsToPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

// Round half to even, as the program's numeric conversions do.
inline long long roundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v)); // default FE_TONEAREST is half-to-even
}

inline double twipsPerPixelForDpi(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

} // namespace orv
