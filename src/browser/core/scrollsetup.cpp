#include "browser/core/scrollsetup.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

WheelSteps::Steps WheelSteps::turn(int angleX, int angleY, bool shift, int linesPerNotch)
{
    if (shift && angleX == 0)
        std::swap(angleX, angleY);
    // Bounded, so no turn however wild overflows.
    const int lines = std::clamp(linesPerNotch, 1, 100);
    const auto steps = [lines](int& rest, int angle) {
        angle = std::clamp(angle, -120 * 100, 120 * 100);
        if ((rest > 0 && angle < 0) || (rest < 0 && angle > 0))
            rest = 0;
        rest += angle * lines;
        const int whole = rest / 120;
        rest -= whole * 120;
        return -whole;
    };
    Steps s;
    s.across = steps(restX_, angleX);
    s.down = steps(restY_, angleY);
    return s;
}

} // namespace orv
