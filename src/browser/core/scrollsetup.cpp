#include "browser/core/scrollsetup.h"

#include <cmath>

namespace orv {

namespace {
long long roundEven(double v) { return static_cast<long long>(std::nearbyint(v)); }
}

ScrollAxis scrollAxis(int pictureHimetric, int boxTwips, double twipsPerPixel)
{
    ScrollAxis a;
    const float needed = static_cast<float>(pictureHimetric / 26.46);
    const float available = static_cast<float>(boxTwips / twipsPerPixel);
    if (!(available < needed))
        return a;
    const long long maximum = roundEven(pictureHimetric / 1.75 - boxTwips);
    if (maximum <= 0)
        return a;
    a.enabled = true;
    a.maximum = static_cast<int>(maximum);
    a.largeStep = static_cast<int>(roundEven(maximum / 5.0));
    a.smallStep = static_cast<int>(roundEven(maximum / 50.0));
    return a;
}

int fullScreenOffset(double windowTwips, int pictureHimetric, double divisor)
{
    return static_cast<int>(roundEven((windowTwips - pictureHimetric / divisor) / 2.0));
}

} // namespace orv
