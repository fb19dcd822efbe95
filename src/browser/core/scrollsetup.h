#pragma once

namespace orv {

// How one picture scroll bar is set up for a picture, in twips.
struct ScrollAxis {
    bool enabled = false;
    int value = 0;
    int maximum = 0;
    int largeStep = 0;
    int smallStep = 0;
};

// The picture area's scroll arithmetic, with its constants as designed: 26.46 HIMETRIC per
// pixel to decide whether the picture fits (single precision), 1.75 HIMETRIC per twip for the
// range, steps of a fifth and a fiftieth of it, halves rounded to even. The range is not
// limited to 16 bits, so a picture of any size scrolls to its far edge.
ScrollAxis scrollAxis(int pictureHimetric, int boxTwips, double twipsPerPixel);

// Offset in twips at which the full-screen view places a picture along one axis:
// (window − picture HIMETRIC / divisor) / 2, halves to even. The divisor is 1.77 across and
// 1.7 down.
int fullScreenOffset(double windowTwips, int pictureHimetric, double divisor);

inline constexpr int kPictureBoxWidthTwips = 4335;
inline constexpr int kPictureBoxHeightTwips = 4575;
inline constexpr double kFullScreenDivisorX = 1.77;
inline constexpr double kFullScreenDivisorY = 1.7;

} // namespace orv
